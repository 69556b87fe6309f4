#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>

#include "parts/name_sort.h"
#include "parts/part_record.h"
#include "parts/part_texts.h"

namespace tervane {

// A file's part names in display order (PartListBefore), once for every line
// that gave one: the table's own names, seen as text, so that loading a
// library makes no second copy of them.
class PartList {
 public:
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using iterator_concept = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;

    Iterator() = default;
    explicit Iterator(const SortedName* at) : m_at(at) {}
    std::string_view operator*() const { return NameOf(m_at->name); }
    Iterator& operator++() {
      ++m_at;
      return *this;
    }
    Iterator operator++(int) {
      const Iterator was = *this;
      ++m_at;
      return was;
    }
    bool operator==(const Iterator&) const = default;

   private:
    const SortedName* m_at = nullptr;
  };

  PartList() = default;
  explicit PartList(std::span<const SortedName> names) : m_names(names) {}

  std::size_t size() const { return m_names.size(); }
  bool empty() const { return m_names.empty(); }
  std::string_view operator[](std::size_t i) const { return NameOf(m_names[i].name); }
  std::string_view front() const { return (*this)[0]; }
  Iterator begin() const { return Iterator(m_names.data()); }
  Iterator end() const { return Iterator(m_names.data() + m_names.size()); }

 private:
  std::span<const SortedName> m_names;
};

// Part records by name, as one part file gives them. Names compare exactly
// and case-sensitively; a name on several lines has its last line's figures.
// A record that Lookup gives, and the list, stay valid until the table next
// changes.
class CPartTable {
 public:
  // Takes a whole file's parts, replacing what the table held: `names`, the
  // names of every part line in PartListBefore order, those that compare
  // equal there in file order.
  void Adopt(PartTexts texts, SortedNames names);

  std::optional<PartRecord> Lookup(std::string_view name) const;
  // How many different names the table holds.
  std::size_t GetCount() const { return m_names.different; }
  PartList List() const { return PartList(m_names.All()); }

 private:
  PartTexts m_texts;
  SortedNames m_names;
};

}  // namespace tervane
