// The tabulex command with workbooks: sheet lists, workbook sources and targets, and the
// engine's reasons on failure. Each command starts its own office, as the real command does.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <sstream>

#include "cli/CommandLine.h"
#include "tests/support/CommandRunner.h"
#include "tests/support/TempFolder.h"

namespace tabulex::cli {
namespace {

std::string Fixture(const std::string& name) {
  return std::string(TABULEX_TEST_DATA) + name;
}

using WorkbookCommandLine = testing::CommandTest;

TEST_F(WorkbookCommandLine, SheetsListsWorksheetsInOrderOrSaysWhyNot) {
  EXPECT_EQ(Run({"sheets", Fixture("chart-sheet.xlsx")}), kExitWritten);
  EXPECT_EQ(out.str(), "Data\nNotes\nSummary\n");
  EXPECT_EQ(Run({"sheets", Fixture("garbage.xls")}), kExitFailure);
  EXPECT_EQ(out.str(), "");
  // The office's own message names only the place in its sources that raised it.
  EXPECT_EQ(err.str(), "tabulex: " + Fixture("garbage.xls") +
                           ": cannot be loaded: the file is damaged or is not a workbook of its "
                           "type\n");
}

TEST_F(WorkbookCommandLine, AnEncryptedWorkbookFailsAtOnceSayingWhy) {
  // The office asks for the password; the question must be cancelled, never left waiting.
  auto sheets = std::async(std::launch::async, [&] {
    return Run({"sheets", Fixture("encrypted.ods")});
  });
  ASSERT_EQ(sheets.wait_for(std::chrono::seconds(60)), std::future_status::ready)
      << "the command waits for a password";
  EXPECT_EQ(sheets.get(), kExitFailure);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "tabulex: " + Fixture("encrypted.ods") +
                           ": cannot be loaded: it is protected by a password\n");
  EXPECT_EQ(Run({"convert", Fixture("encrypted.xls"), "--to", "68y", "--out-dir", folder.Folder()}),
            kExitFailure);
  EXPECT_NE(err.str().find("encrypted.xls: cannot be loaded: it is protected by a password"),
            std::string::npos)
      << err.str();
  EXPECT_FALSE(std::filesystem::exists(folder.PathOf("encrypted.68y")));
}

TEST_F(WorkbookCommandLine, AMissingSheetIsReportedWithTheWorkbooksNameHoweverLongThePath) {
  // The engine's reason does not start with the path; a path longer than the reason once
  // ended the command.
  const std::string book = PathOf(std::string(60, 'w') + ".xlsx");
  std::filesystem::copy_file(Fixture("hidden-sheet.xlsx"), book);
  EXPECT_EQ(Run({"convert", book, "--to", "68y", "--sheet", "Nope"}), kExitFailure);
  EXPECT_EQ(err.str(),
            "tabulex: " + book +
                ": The spreadsheet application reported an error while working on the "
                "workbook. the workbook has no worksheet named \"Nope\"; its worksheets are "
                "\"Shown\", \"Secret\"\n");
  EXPECT_FALSE(folder.Exists(std::string(60, 'w') + ".68y"));
  // Every line names the workbook, the engine's too.
  EXPECT_EQ(Run({"show", book, "--sheet", "Nope"}), kExitFailure);
  EXPECT_EQ(err.str(), "tabulex: " + book +
                           ": the workbook has no worksheet named \"Nope\"; its worksheets are "
                           "\"Shown\", \"Secret\"\n" +
                           "tabulex: " + book +
                           ": The spreadsheet application reported an error while working on the "
                           "workbook.\n");
  // The case of the letters does not matter, as in spreadsheet programs.
  EXPECT_EQ(Run({"cells", book, "--sheet", "SHOWN"}), kExitWritten) << err.str();
  EXPECT_NE(out.str().find("visible"), std::string::npos) << out.str();
}

TEST_F(WorkbookCommandLine, WorkbookToCalculatorAndBack) {
  // Without --sheet the first worksheet is read.
  EXPECT_EQ(Run({"convert", Fixture("hidden-sheet.xlsx"), "--to", "68y", "--out-dir",
                 folder.Folder(), "--name", "shown"}),
            kExitWritten)
      << err.str();
  EXPECT_EQ(out.str(), folder.PathOf("shown.68y") + "\n");
  EXPECT_EQ(Run({"convert", folder.PathOf("shown.68y"), "--to", "ods"}), kExitWritten) << err.str();
  EXPECT_EQ(out.str(), folder.PathOf("shown.ods") + "\n");
  EXPECT_EQ(folder.Read("shown.ods").substr(0, 2), "PK");  // a zip package, not text
}

}  // namespace
}  // namespace tabulex::cli
