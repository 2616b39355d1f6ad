// The cell list: order, sorting, emptying and the record hand-over between cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "converter/model/CellList.h"
#include "converter/model/Spreadsheet.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/SmallStack.h"

namespace tabulex {
namespace {

// A cell that makes its record at a given position and tags it with an ordinal.
class PositionCell : public SpreadsheetCell {
 public:
  PositionCell(ConversionContext& c, std::int16_t row, std::int16_t column, int tag)
      : SpreadsheetCell(c) {
    CreateRecord(row, column).length = static_cast<std::uint32_t>(tag);
  }
  void TranslateToIntermediate() override {}
  void TranslateFromIntermediate() override {}
  std::string GetOutput() override { return {}; }
};

class CellListTest : public ::testing::Test {
 protected:
  void Add(std::int16_t row, std::int16_t column, int tag) {
    list.Append(MakeCell<PositionCell>(context, row, column, tag));
  }
  std::vector<int> Tags() {
    std::vector<int> tags;
    list.Rewind();
    while (CellListNode* n = list.Next())
      tags.push_back(static_cast<int>(n->cell->Record()->length));
    return tags;
  }
  testing::RecordingContext context;
  CellList list;
};

TEST_F(CellListTest, SortsByRowThenColumnStably) {
  Add(2, 1, 0);
  Add(1, 26, 1);
  Add(1, 3, 2);
  Add(-1, 5, 3);  // signed comparison
  Add(1, 3, 4);   // same position as tag 2: stays behind it
  Add(1, 1, 5);
  list.SortByPosition();
  EXPECT_EQ(Tags(), (std::vector<int>{3, 5, 2, 4, 1, 0}));
  EXPECT_EQ(list.Head()->previous, nullptr);
  EXPECT_EQ(list.Tail()->cell->Row(), 2);
  EXPECT_EQ(list.Tail()->previous->cell->Column(), 26);
  list.DeleteAll();
}

TEST_F(CellListTest, SortsLongReversedListsWithoutRecursion) {
  // Far more cells than a small stack could hold frames for, one per cell.
  constexpr int kCount = 20000;
  for (int i = kCount; i > 0; --i) Add(static_cast<std::int16_t>(i), 1, i);
  std::vector<std::int16_t> rows;
  ASSERT_TRUE(testing::RunOnSmallStack([&] {
    list.SortByPosition();
    for (CellListNode* n = list.Head(); n; n = n->next) rows.push_back(n->cell->Row());
    list.DeleteAll();
  }));
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kCount));
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
  EXPECT_TRUE(list.Empty());
}

TEST_F(CellListTest, NonEmptyListIsReportedBeforeItGoes) {
  Add(1, 1, 0);
  try {
    list.CheckEmpty();
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Try to delete an non empty linked list");
  }
  list.DeleteAll();
  EXPECT_NO_THROW(list.CheckEmpty());
  EXPECT_EQ(list.Tail(), nullptr);
}

TEST_F(CellListTest, DescribeNamesTheRecordFields) {
  PositionCell cell(context, 3, 2, 0);
  cell.Record()->type = CELL_FORMULA;
  cell.Record()->value = std::string("1.5");
  cell.Record()->formula = std::string("=A1");
  EXPECT_EQ(cell.Describe(),
            "Intermediate SpreadsheetCell\nRow: 3\t\tColumn: 2\t\tType: 3\t\tData: 1.5\t\t"
            "Data2: =A1\n");
}

}  // namespace
}  // namespace tabulex
