// The request and reply lines between the command and its workbook helper, against lines
// written out by hand.
#include <gtest/gtest.h>

#include <tuple>

#include "components/libreoffice/HelperProtocol.h"
#include "converter/model/ErrorCodes.h"

namespace tabulex::libreoffice {
namespace {

TEST(HelperProtocol, RequestFieldsAreTabSeparatedWithEscapes) {
  const HelperRequest request{HelperOperation::kSheetToText,
                              {"a\\b\tc.xlsx", "out\r\nx.txt",
                               "Donn\xC3\xA9"
                               "es"}};
  EXPECT_EQ(RequestLine(request),
            "to-text"            // the operation
            "\ta\\\\b\\tc.xlsx"  // backslash and tab escaped
            "\tout\\r\\nx.txt"   // carriage return and line feed escaped
            "\tDonn\xC3\xA9"     // other bytes as they are
            "es\n");             // one line feed ends the request
  EXPECT_EQ(RequestLine({HelperOperation::kSheetNames, {"b.ods"}}), "sheets\tb.ods\n");
  EXPECT_EQ(RequestLine({HelperOperation::kTextToWorkbook, {"t.txt", "b.xls"}}),
            "to-workbook\tt.txt\tb.xls\n");
}

TEST(HelperProtocol, RequestsReadBackWithEmptyFieldsKept) {
  std::optional<HelperRequest> request = ParseRequest("to-text\ta\\\\b\\tc.xlsx\tout\\nx.txt\t");
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->operation, HelperOperation::kSheetToText);
  EXPECT_EQ(request->arguments, (std::vector<std::string>{"a\\b\tc.xlsx", "out\nx.txt", ""}));
}

TEST(HelperProtocol, MalformedRequestsAreRefused) {
  for (const char* line : {
           "sheets",              // too few arguments
           "sheets\ta\tb",        // too many
           "to-workbook\tt.txt",  // too few for the operation
           "list\ta.xls",         // no such operation
           "sheets\ta.xls\\",     // an escape cut short
           "sheets\ta\\x.xls",    // no such escape
           "sheets\ta.xls\r",     // a raw line break
           "",                    // nothing
       }) {
    EXPECT_FALSE(ParseRequest(line).has_value()) << line;
  }
}

TEST(HelperProtocol, ReplyCarriesResultErrorsFailureAndNames) {
  const HelperReply reply{
      kFail, {ERR_EXCEL_NOT_STARTED, ERR_EXCEL_FAILED}, "x.xls: bad\tfile", {"Data", "Q1\\Q2"}};
  EXPECT_EQ(ReplyLine(reply),
            "-2147467259"              // the result, 0x80004005 as a signed number
            "\t2349137947,2349137951"  // the error codes in order, 0x8C05001B and 0x8C05001F
            "\tx.xls: bad\\tfile"      // the failure
            "\tData\tQ1\\\\Q2"         // one field per sheet name
            "\n");
  EXPECT_EQ(ReplyLine(HelperReply{}), "0\t\t\n");
}

// A reply's fields, to compare replies whole.
auto Fields(const HelperReply& reply) {
  return std::tie(reply.result, reply.errors, reply.failure, reply.names);
}

TEST(HelperProtocol, RepliesReadBack) {
  std::optional<HelperReply> reply = ParseReply("-1\t2349137951\tgone\\n\tA\t");
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(Fields(*reply), Fields({-1, {ERR_EXCEL_FAILED}, "gone\n", {"A", ""}}));
  reply = ParseReply("0\t\t");
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(Fields(*reply), Fields({}));
}

TEST(HelperProtocol, MalformedRepliesAreRefused) {
  for (const char* line : {
           "0\t",              // too few fields
           "x\t\t",            // the result is no number
           "+1\t\t",           // nor is this
           "2147483648\t\t",   // nor does it fit
           "0\t1,\t",          // an empty error code
           "0\t,1\t",          // another
           "0\t4294967296\t",  // an error code that does not fit
           "0\t-1\t",          // a negative error code
           "0\t\tbad\\",       // an escape cut short
       }) {
    EXPECT_FALSE(ParseReply(line).has_value()) << line;
  }
}

}  // namespace
}  // namespace tabulex::libreoffice
