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
  std::array<std::string, kColumnCount> texts;

  explicit ColumnTable(std::initializer_list<int> shown) {
    for (int id = 0; id < kColumnCount; ++id) {
      COutputColumn& c = columns[id];
      c.m_nOrder = id;
      c.m_bFolded = ColumnInfo(id).m_bFolded;
      c.m_nAlign = ColumnInfo(id).m_nDefaultAlign;
      c.m_pText = &texts[static_cast<std::size_t>(id)];
    }
    for (int id : shown) columns[id].m_bShown = true;
    columns[kColName].m_bShown = true;
    Titles();
  }
  // Every text back to the column title.
  void Titles() {
    for (int id = 0; id < kColumnCount; ++id)
      texts[static_cast<std::size_t>(id)] = ColumnInfo(id).m_strName;
  }
  // Every text empty (the start of a row).
  void Clear() {
    for (auto& t : texts) t.clear();
  }
  std::string& operator[](int id) { return texts[static_cast<std::size_t>(id)]; }
};

}  // namespace orvane::test
