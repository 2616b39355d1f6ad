// The command's side of the workbook helper, with small shell programs in the helper's place:
// what it sends, what it passes on, and what it says when the helper cannot start or stops.
#include <gtest/gtest.h>

#include <chrono>

#include "components/libreoffice/OfficeHelperEngine.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TempFolder.h"

namespace tabulex::libreoffice {
namespace {

using testing::RecordingContext;

std::vector<std::string> Shell(const std::string& script) {
  return {"/bin/sh", "-c", script};
}

// A helper that is ready, then answers every request with `reply` (printf's format, so \t is a
// tab), and writes each request it got to `log`.
std::vector<std::string> Answering(const std::string& reply, const std::string& log) {
  return Shell("echo ready; while IFS= read -r r; do printf '%s\\n' \"$r\" >>'" + log +
               "'; printf -- '" + reply + "\\n'; done");
}

TEST(OfficeHelperEngine, AHelperThatCannotStartOrStopsFailsEveryOperationSayingWhy) {
  using std::chrono::milliseconds;
  const milliseconds limit(200);
  const milliseconds usual = OfficeHelperEngine::kDefaultReplyLimit;
  struct Row {
    std::vector<std::string> command;
    milliseconds replyLimit;
    bool started;  // whether the helper got as far as a request
    std::string failure;
  };
  const Row rows[] = {
      {{"/nonexistent/tabulex-office"},
       usual,
       false,
       "cannot run the workbook helper /nonexistent/tabulex-office: No such file or directory"},
      // Its own words, as the system's loader says when a library is missing: stderr, status 127.
      {Shell("echo 'tabulex-office: error while loading shared libraries: libuno_sal.so.3' >&2; "
             "exit 127"),
       usual, false,
       "the workbook helper /bin/sh did not start: tabulex-office: error while loading shared "
       "libraries: libuno_sal.so.3"},
      {Shell("exit 4"), usual, false,
       "the workbook helper /bin/sh did not start: it ended with status 4"},
      // A program that is not the helper is ended at once, not waited for.
      {Shell("echo hello; exec sleep 60"), usual, false,
       "the workbook helper /bin/sh did not start: it ended with status 137"},
      {Shell("exec sleep 60"), limit, false,
       "the workbook helper /bin/sh did not start within 0.2 s, so it was ended"},
      {Shell("echo ready; read -r r; echo 'the office went away' >&2; exit 3"), usual, true,
       "the workbook helper stopped: the office went away"},
      {Shell("echo ready; read -r r; echo 'not a reply'; exec sleep 60"), usual, true,
       "the workbook helper gave a reply it cannot read"},
      // Stuck on the request, as an office hung by a workbook would leave it.
      {Shell("echo ready; read -r r; exec sleep 60"), limit, true,
       "the workbook helper did not answer within 0.2 s, so it was ended"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.failure);
    const auto start = std::chrono::steady_clock::now();
    OfficeHelperEngine engine(row.command, row.replyLimit);
    RecordingContext context;
    // Each operation starts a helper again; the failure is that operation's.
    const std::uint32_t error = row.started ? ERR_EXCEL_FAILED : ERR_EXCEL_NOT_STARTED;
    const auto failure = [&](const std::string& book) {
      return row.started ? book + ": " + row.failure : row.failure;
    };
    EXPECT_EQ(engine.TextToExcelWorkbook(context, "t.txt", "b.xlsx"), row.started ? 0 : -1);
    EXPECT_EQ(engine.LastFailure(), failure("b.xlsx"));
    EXPECT_FALSE(engine.HelperProcessId().has_value());
    EXPECT_EQ(engine.ExcelSheetToText(context, "c.ods", "t.txt", "S"), row.started ? 0 : -1);
    EXPECT_EQ(engine.LastFailure(), failure("c.ods"));
    std::vector<std::string> names = {"before"};
    EXPECT_EQ(engine.GetExcelSheetNames(context, "d.xls", &names), kFail);
    EXPECT_EQ(engine.LastFailure(), failure("d.xls"));
    EXPECT_EQ(names, std::vector<std::string>{"before"});
    EXPECT_EQ(context.errors, std::vector<std::uint32_t>(3, error));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20))
        << "the engine waited for a helper that does not answer";
  }
}

TEST(OfficeHelperEngine, SendsOneEscapedLinePerOperationToOneHelper) {
  testing::TempFolder folder;
  const std::string log = folder.PathOf("requests");
  OfficeHelperEngine engine(Answering("0\\t\\t", log));
  RecordingContext context;
  EXPECT_EQ(engine.ExcelSheetToText(context, "my\tbook.xls", "out.txt", "Sheet 1"), 0);
  const std::optional<int> helper = engine.HelperProcessId();
  ASSERT_TRUE(helper.has_value());
  EXPECT_EQ(engine.TextToExcelWorkbook(context, "in.txt", "dir\\b.xlsx"), 0);
  EXPECT_EQ(engine.HelperProcessId(), helper) << "every operation goes to the same helper";
  EXPECT_TRUE(context.errors.empty());
  EXPECT_EQ(engine.LastFailure(), "");
  EXPECT_EQ(folder.Read("requests"),
            "to-text\tmy\\tbook.xls\tout.txt\tSheet 1\n"
            "to-workbook\tin.txt\tdir\\\\b.xlsx\n");
}

TEST(OfficeHelperEngine, PassesOnTheHelpersErrorsAndFailureUnchanged) {
  testing::TempFolder folder;
  // kFail, ERR_EXCEL_FAILED twice, a failure with an escaped tab, and names that must not be
  // taken since the operation failed.
  OfficeHelperEngine failing(Answering(
      "-2147467259\\t2349137951,2349137951\\tb.xls: cannot be loaded: it\\\\\\\\tis\\tStale",
      folder.PathOf("log")));
  RecordingContext context;
  std::vector<std::string> names = {"before"};
  EXPECT_EQ(failing.GetExcelSheetNames(context, "b.xls", &names), kFail);
  EXPECT_EQ(context.errors, (std::vector<std::uint32_t>{ERR_EXCEL_FAILED, ERR_EXCEL_FAILED}));
  EXPECT_EQ(failing.LastFailure(), "b.xls: cannot be loaded: it\\tis");
  EXPECT_EQ(names, std::vector<std::string>{"before"});

  OfficeHelperEngine listing(Answering("0\\t\\t\\tData\\tNotes", folder.PathOf("log2")));
  EXPECT_EQ(listing.GetExcelSheetNames(context, "b.xls", &names), kOk);
  EXPECT_EQ(names, (std::vector<std::string>{"Data", "Notes"}));
}

}  // namespace
}  // namespace tabulex::libreoffice
