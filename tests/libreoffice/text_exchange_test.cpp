// The row ends and terminators of the text exchanged with LibreOffice.
#include <gtest/gtest.h>

#include "components/libreoffice/TextExchange.h"

namespace tabulex::libreoffice {
namespace {

using namespace std::string_view_literals;

TEST(WindowsRowEnds, RowEndsOutsideQuotedFieldsOnly) {
  EXPECT_EQ(WindowsRowEnds("a\tb\nc\n"), "a\tb\r\nc\r\n");
  // A cell of two lines is a quoted field; its line feed is part of the cell.
  EXPECT_EQ(WindowsRowEnds("\"two\nlines\"\tx\ny"), "\"two\nlines\"\tx\r\ny");
  // Doubled quotes inside a quoted field do not end it.
  EXPECT_EQ(WindowsRowEnds("\"say \"\"hi\"\"\nnow\"\nz"), "\"say \"\"hi\"\"\nnow\"\r\nz");
  // Row ends that already are CR LF stay as they are.
  EXPECT_EQ(WindowsRowEnds("a\r\nb"), "a\r\nb");
  EXPECT_EQ(WindowsRowEnds(""), "");
}

TEST(WithoutTrailingZeros, DropsOnlyTheTerminators) {
  EXPECT_EQ(WithoutTrailingZeros("a\tb\0"sv), "a\tb");
  EXPECT_EQ(WithoutTrailingZeros("a\0b\0\0"sv), "a\0b"sv);
  EXPECT_EQ(WithoutTrailingZeros("\0"sv), "");
}

}  // namespace
}  // namespace tabulex::libreoffice
