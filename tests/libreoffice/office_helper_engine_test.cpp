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

TEST(OfficeHelperEngine, AHelperThatIsMissingOrCannotStartSaysWhy) {
  OfficeHelperEngine engine({"/nonexistent/tabulex-office"});
  RecordingContext context;
  std::vector<std::string> names;
  EXPECT_EQ(engine.GetExcelSheetNames(context, "b.xlsx", &names), kFail);
  EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_EXCEL_NOT_STARTED});
  EXPECT_EQ(
      engine.LastFailure(),
      "cannot run the workbook helper /nonexistent/tabulex-office: No such file or directory");
  EXPECT_EQ(engine.ExcelSheetToText(context, "b.xlsx", "t.txt", "S"), -1);
  EXPECT_EQ(engine.TextToExcelWorkbook(context, "t.txt", "b.xlsx"), -1);

  // A helper that cannot start says why in its own words, as the system's loader does when a
  // library is missing: a line on stderr, status 127.
  context.errors.clear();
  OfficeHelperEngine unloadable(
      Shell("echo 'tabulex-office: error while loading shared libraries: libuno_sal.so.3' >&2; "
            "exit 127"));
  EXPECT_EQ(unloadable.TextToExcelWorkbook(context, "t.txt", "b.ods"), -1);
  EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_EXCEL_NOT_STARTED});
  EXPECT_EQ(unloadable.LastFailure(),
            "the workbook helper /bin/sh did not start: tabulex-office: error while loading shared "
            "libraries: libuno_sal.so.3");
  EXPECT_FALSE(unloadable.HelperProcessId().has_value());

  OfficeHelperEngine silent(Shell("exit 4"));
  EXPECT_EQ(silent.TextToExcelWorkbook(context, "t.txt", "b.ods"), -1);
  EXPECT_EQ(silent.LastFailure(),
            "the workbook helper /bin/sh did not start: it ended with status 4");

  // A program that is not the helper is ended at once, not waited for.
  const auto start = std::chrono::steady_clock::now();
  OfficeHelperEngine stranger(Shell("echo hello; exec sleep 60"));
  EXPECT_EQ(stranger.TextToExcelWorkbook(context, "t.txt", "b.ods"), -1);
  EXPECT_EQ(stranger.LastFailure(),
            "the workbook helper /bin/sh did not start: it ended with status 137");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
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

TEST(OfficeHelperEngine, AHelperThatStopsFailsTheOperationAndIsStartedAgain) {
  OfficeHelperEngine engine(
      Shell("echo ready; read -r r; echo 'the office went away' >&2; exit 3"));
  RecordingContext context;
  EXPECT_EQ(engine.ExcelSheetToText(context, "b.xlsx", "t.txt", "S"), 0);
  EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_EXCEL_FAILED});
  EXPECT_EQ(engine.LastFailure(), "b.xlsx: the workbook helper stopped: the office went away");
  EXPECT_FALSE(engine.HelperProcessId().has_value());

  // The next operation starts a new helper, which stops too: the failure is this one's.
  context.errors.clear();
  std::vector<std::string> names;
  EXPECT_EQ(engine.GetExcelSheetNames(context, "c.ods", &names), kFail);
  EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_EXCEL_FAILED});
  EXPECT_EQ(engine.LastFailure(), "c.ods: the workbook helper stopped: the office went away");
}

TEST(OfficeHelperEngine, AHelperGivingAnUnreadableReplyIsEndedAtOnce) {
  const auto start = std::chrono::steady_clock::now();
  OfficeHelperEngine engine(Shell("echo ready; read -r r; echo 'not a reply'; exec sleep 60"));
  RecordingContext context;
  EXPECT_EQ(engine.TextToExcelWorkbook(context, "t.txt", "b.xlsx"), 0);
  EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_EXCEL_FAILED});
  EXPECT_EQ(engine.LastFailure(), "b.xlsx: the workbook helper gave a reply it cannot read");
  EXPECT_FALSE(engine.HelperProcessId().has_value());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20))
      << "the engine waited for a helper that does not read";
}

TEST(OfficeHelperEngine, AHelperSilentPastTheLimitIsEndedAndTheOperationFails) {
  const auto start = std::chrono::steady_clock::now();
  const std::chrono::milliseconds limit(200);
  // Ready, then stuck on the request, as an office hung by a workbook would leave it.
  OfficeHelperEngine stuck(Shell("echo ready; read -r r; exec sleep 60"), limit);
  RecordingContext context;
  EXPECT_EQ(stuck.TextToExcelWorkbook(context, "t.txt", "b.xlsx"), 0);
  EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_EXCEL_FAILED});
  EXPECT_EQ(stuck.LastFailure(),
            "b.xlsx: the workbook helper did not answer within 0.2 s, so it was ended");
  EXPECT_FALSE(stuck.HelperProcessId().has_value());
  // Never ready.
  context.errors.clear();
  OfficeHelperEngine mute(Shell("exec sleep 60"), limit);
  EXPECT_EQ(mute.TextToExcelWorkbook(context, "t.txt", "b.ods"), -1);
  EXPECT_EQ(context.errors, std::vector<std::uint32_t>{ERR_EXCEL_NOT_STARTED});
  EXPECT_EQ(mute.LastFailure(),
            "the workbook helper /bin/sh did not start within 0.2 s, so it was ended");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
}  // namespace tabulex::libreoffice
