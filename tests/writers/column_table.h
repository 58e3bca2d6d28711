// A hand-built column table for writer tests: texts per column id, shown flags, folding from the
// catalogue, identity order.
#pragma once

#include <array>
#include <initializer_list>
#include <string>

#include "engine/columns.h"
#include "writers/output.h"

namespace orvane::test {

struct ColumnTable {
  COutputColumns columns;
  ColumnArray<std::string> texts;

  explicit ColumnTable(std::initializer_list<ColumnId> shown) {
    for (ColumnId id : kAllColumns) {
      COutputColumn& c = columns[id];
      c.m_nOrder = id;
      c.m_bFolded = ColumnInfo(id).m_bFolded;
      c.m_nAlign = ColumnInfo(id).m_nDefaultAlign;
      c.m_pText = &texts[id];
    }
    for (ColumnId id : shown) columns[id].m_bShown = true;
    columns[ColumnId::kName].m_bShown = true;
    Titles();
  }
  // Every text back to the column title.
  void Titles() {
    for (ColumnId id : kAllColumns) texts[id] = ColumnInfo(id).m_strName;
  }
  // Every text empty (the start of a row).
  void Clear() {
    for (auto& t : texts) t.clear();
  }
  std::string& operator[](ColumnId id) { return texts[id]; }
};

}  // namespace orvane::test
