// The row ends, cell contents and terminators of the text exchanged with LibreOffice.
#include <gtest/gtest.h>

#include "components/libreoffice/TextExchange.h"

namespace tabulex::libreoffice {
namespace {

using namespace std::string_view_literals;

struct ExchangeRow {
  std::string_view office;    // the office's exported text
  std::string_view exchange;  // the exchange text made of it
};

constexpr ExchangeRow kExchangeRows[] = {
    {"a\tb\nc\n", "a\tb\r\nc\r\n"},
    // A cell of two lines is a quoted field; its line feed is part of the cell.
    {"\"two\nlines\"\tx\ny", "\"two\nlines\"\tx\r\ny"},
    // Doubled quotes inside a quoted field do not end it.
    {"\"say \"\"hi\"\"\nnow\"\nz", "\"say \"\"hi\"\"\nnow\"\r\nz"},
    // Row ends that already are CR LF stay as they are.
    {"a\r\nb", "a\r\nb"},
    {"", ""},
    // A tab inside a cell becomes a blank, so z stays in the second column.
    {"\"x\ty\"\tz\n", "\"x y\"\tz\r\n"},
    // CR LF inside a cell is one line feed; a lone CR there becomes one.
    {"\"a\r\nb\"\tc\r\n", "\"a\nb\"\tc\r\n"},
    {"\"a\rb\"\n", "\"a\nb\"\r\n"},
};

TEST(ExchangeText, RowEndsOutsideCellsAndNoTabOrCarriageReturnInside) {
  for (const ExchangeRow& row : kExchangeRows) {
    EXPECT_EQ(ExchangeText(row.office), row.exchange) << row.office;
  }
}

TEST(LastFilledColumn, CountsFieldsWithContentOutsideQuotes) {
  EXPECT_EQ(LastFilledColumn(""), 0u);
  EXPECT_EQ(LastFilledColumn("\t\t\r\n\r\n"), 0u);
  EXPECT_EQ(LastFilledColumn("a\tb\r\n"), 2u);
  // The widest row counts, and the empty fields that pad a row do not.
  EXPECT_EQ(LastFilledColumn("a\t\t\t\r\nb\t\tc\r\nd"), 3u);
  // Tabs and line feeds inside a quoted field are part of the cell.
  EXPECT_EQ(LastFilledColumn("\"x\ty\"\tz\r\n"), 2u);
  EXPECT_EQ(LastFilledColumn("\"two\nlines\"\tx\r\n\ty"), 2u);
}

TEST(WithoutTrailingZeros, DropsOnlyTheTerminators) {
  EXPECT_EQ(WithoutTrailingZeros("a\tb\0"sv), "a\tb");
  EXPECT_EQ(WithoutTrailingZeros("a\0b\0\0"sv), "a\0b"sv);
  EXPECT_EQ(WithoutTrailingZeros("\0"sv), "");
}

}  // namespace
}  // namespace tabulex::libreoffice
