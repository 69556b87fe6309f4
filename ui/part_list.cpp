#include "ui/part_list.h"

#include <QComboBox>
#include <QListView>
#include <QStringList>
#include <QStringListModel>

#include "ui/qt_text.h"

namespace tervane::ui {

// A library can hold a hundred thousand parts. The names go in as one
// string list rather than as the list's own items, each an object holding
// its roles, which took several times as long as reading the file; the
// drop-down takes every row as high as the first, instead of measuring each
// name when it first opens.
void FillPartList(QComboBox* list, const PartList& names) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(names.size()));
  for (const std::string_view name : names) texts.append(FromCp1252(name));
  list->setModel(new QStringListModel(std::move(texts), list));
  if (auto* rows = qobject_cast<QListView*>(list->view())) rows->setUniformItemSizes(true);
  list->setCurrentIndex(-1);
}

}  // namespace tervane::ui
