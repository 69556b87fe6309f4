#include "results_support.h"

#include <QApplication>
#include <QTabWidget>

#include "modal_driver.h"

namespace tervane::uitest {

bool LookAtResults(const CalculatorUnderTest& calc, const char* button,
                   const std::function<void(QWidget* results)>& look, QString& problems) {
  ModalDriver driver;
  const bool ok = driver.Run([&] { calc.Click(button); }, {[&look](QWidget* results) {
                               look(results);
                               if (results->isVisible()) PressKey(results, Qt::Key_Escape);
                             }});
  problems = driver.Problems();
  return ok;
}

QWidget* ShowTab(QWidget* results, const char* page) {
  auto* tabs = results->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
  QWidget* found = tabs ? tabs->findChild<QWidget*>(QString::fromLatin1(page)) : nullptr;
  if (!found || tabs->indexOf(found) < 0) return nullptr;
  tabs->setCurrentIndex(tabs->indexOf(found));
  QApplication::processEvents();  // lays the page out, as the click's event loop would
  return found;
}

}  // namespace tervane::uitest
