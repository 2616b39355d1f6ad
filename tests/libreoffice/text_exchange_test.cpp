// The row ends and terminators of the text exchanged with LibreOffice.
#include <gtest/gtest.h>

#include "components/libreoffice/TextExchange.h"

namespace tabulex::libreoffice {
namespace {

using namespace std::string_view_literals;

TEST(ExchangeText, RowEndsOutsideQuotedFieldsOnly) {
  EXPECT_EQ(ExchangeText("a\tb\nc\n"), "a\tb\r\nc\r\n");
  // A cell of two lines is a quoted field; its line feed is part of the cell.
  EXPECT_EQ(ExchangeText("\"two\nlines\"\tx\ny"), "\"two\nlines\"\tx\r\ny");
  // Doubled quotes inside a quoted field do not end it.
  EXPECT_EQ(ExchangeText("\"say \"\"hi\"\"\nnow\"\nz"), "\"say \"\"hi\"\"\nnow\"\r\nz");
  // Row ends that already are CR LF stay as they are.
  EXPECT_EQ(ExchangeText("a\r\nb"), "a\r\nb");
  EXPECT_EQ(ExchangeText(""), "");
}

TEST(ExchangeText, TabsAndCarriageReturnsInsideACellCannotSplitIt) {
  // The tab becomes a blank, so z stays in the second column.
  EXPECT_EQ(ExchangeText("\"x\ty\"\tz\n"), "\"x y\"\tz\r\n");
  // CR LF inside a cell is one line feed; a lone CR becomes one.
  EXPECT_EQ(ExchangeText("\"a\r\nb\"\tc\r\n"), "\"a\nb\"\tc\r\n");
  EXPECT_EQ(ExchangeText("\"a\rb\"\n"), "\"a\nb\"\r\n");
  // Outside quotes a tab separates fields, as always.
  EXPECT_EQ(ExchangeText("x\ty\n"), "x\ty\r\n");
}

TEST(WithoutTrailingZeros, DropsOnlyTheTerminators) {
  EXPECT_EQ(WithoutTrailingZeros("a\tb\0"sv), "a\tb");
  EXPECT_EQ(WithoutTrailingZeros("a\0b\0\0"sv), "a\0b"sv);
  EXPECT_EQ(WithoutTrailingZeros("\0"sv), "");
}

}  // namespace
}  // namespace tabulex::libreoffice
