#include "settings/column_order_list.h"

#include <gtest/gtest.h>

#include "engine/columns.h"

namespace orvane {
namespace {

TEST(ColumnOrderList, DefaultListHasOneEntryForTheNameGroup) {
  CColumnOrderList list;
  ASSERT_EQ(list.Size(), 54u);
  EXPECT_EQ(list.ColumnAt(0), 2);
  EXPECT_EQ(list.ColumnAt(1), 5);
  EXPECT_EQ(list.AlignAt(1), kAlignRight);
  EXPECT_EQ(list.Encode().substr(0, 20), "2,0|5,1|6,2|7,2|8,2|");
  CListingOptions o;
  o.m_columnOrder.fill(ColumnId::kTagComments);
  list.ApplyTo(o);
  for (ColumnId id : kAllColumns) EXPECT_EQ(o.m_columnOrder[ColumnIndex(id)], id);
}

TEST(ColumnOrderList, ReadingMovesEntriesToTheTargetPositions) {
  CColumnOrderList list;
  list.Decode("5,0|2,2|20,1");
  EXPECT_EQ(list.ColumnAt(0), 5);
  EXPECT_EQ(list.AlignAt(0), kAlignLeft);
  EXPECT_EQ(list.ColumnAt(1), 2);
  EXPECT_EQ(list.AlignAt(1), kAlignCenter);
  EXPECT_EQ(list.ColumnAt(2), 20);
  EXPECT_EQ(list.AlignAt(2), kAlignRight);
  EXPECT_EQ(list.ColumnAt(3), 6);
  CListingOptions o;
  list.ApplyTo(o);
  const int expected[] = {5, 0, 1, 2, 3, 4, 20, 6};
  for (std::size_t i = 0; i < std::size(expected); ++i)
    EXPECT_EQ(ColumnNumber(o.m_columnOrder[i]), expected[i]);
  EXPECT_EQ(o.m_nAlign[5], kAlignLeft);
  EXPECT_EQ(o.m_nAlign[2], kAlignCenter);
}

TEST(ColumnOrderList, UnknownColumnsKeepTheirPositionAndTheTargetStillAdvances) {
  CColumnOrderList list;
  // 3 is folded (no entry), 99 does not exist: positions 0 and 1 stay, 7 moves to position 2.
  list.Decode("3,0|99,1|7,0");
  EXPECT_EQ(list.ColumnAt(0), 2);
  EXPECT_EQ(list.ColumnAt(1), 5);
  EXPECT_EQ(list.ColumnAt(2), 7);
  EXPECT_EQ(list.AlignAt(2), kAlignLeft);
  EXPECT_EQ(list.ColumnAt(3), 6);
  // An entry searched from the target on is not found again once placed before it.
  list.Decode("5,0|5,2");
  EXPECT_EQ(list.ColumnAt(0), 5);
  EXPECT_EQ(list.AlignAt(0), kAlignLeft);
  EXPECT_EQ(list.ColumnAt(1), 2);
}

TEST(ColumnOrderList, OddValues) {
  CColumnOrderList list;
  list.Decode("9,1");
  const std::string moved = list.Encode();
  list.Decode("");  // empty: nothing changes
  EXPECT_EQ(list.Encode(), moved);
  list.Decode("5,7|6|x,y|||,");  // bad alignment: default; missing: left
  EXPECT_EQ(list.ColumnAt(0), 5);
  EXPECT_EQ(list.AlignAt(0), kAlignRight);
  EXPECT_EQ(list.ColumnAt(1), 6);
  EXPECT_EQ(list.AlignAt(1), kAlignLeft);
  std::string many;
  for (int i = 0; i < 500; ++i) many += "57,0|";
  list.Decode(many);
  EXPECT_EQ(list.ColumnAt(0), 57);
  EXPECT_EQ(list.Size(), 54u);
}

TEST(ColumnOrderList, RoundTrip) {
  CColumnOrderList a;
  a.Move(10, 0);
  a.Move(3, 40);
  a.SetAlign(5, kAlignCenter);
  a.SetAlign(6, 9);  // ignored
  CColumnOrderList b;
  b.Decode(a.Encode());
  EXPECT_EQ(b.Entries(), a.Entries());
}

}  // namespace
}  // namespace orvane
