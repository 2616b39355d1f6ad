// Conversions between text files through the driver: results, prompts, messages, clean-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <new>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "components/ErrorTextStandIn.h"
#include "converter/driver/Messages.h"
#include "converter/model/ConversionContext.h"
#include "tests/support/DriverFixture.h"
#include "tests/support/MessageRows.h"

namespace tabulex {
namespace {

using components::ErrorTextFor;
using testing::DriverTest;
using testing::MessageRows;
using testing::Shown;
using Texts = std::vector<std::string>;

const std::string kGrades = "Name\tScore\r\nAda\t91\r\nBen\t=B2+1\r\n";
const std::string kGradesOut = "Name\tScore\t\t\r\nAda\t91\t\t\r\nBen\t=B2+1\t";

using TextConversion = DriverTest;

TEST_F(TextConversion, TextToTextWritesTheFileAndAsksBeforeReplacingIt) {
  Write("grades.txt", kGrades);
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "copy", ZQ_TAB_TEXT), kOk);
  EXPECT_EQ(Read("copy.txt"), kGradesOut);
  EXPECT_EQ(Remembered(), PathOf("copy.txt"));
  EXPECT_TRUE(ui->messages.empty());
  EXPECT_EQ(Listing(), (Texts{"copy.txt", "grades.txt"}));
  // The overwrite prompt: No skips, Cancel stops, Yes replaces.
  Write("copy.txt", "old");
  Conv().SetTheFileName(std::string("before"));
  ui->answers = {message::kAnswerNo};
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "copy", ZQ_TAB_TEXT), CONVERT_SKIPPED);
  EXPECT_EQ(Shown(*ui), (MessageRows{{std::string(messages::kFileExists.text), PathOf("copy.txt"),
                                      0x2023u, std::nullopt}}));
  ui->answers = {message::kAnswerCancel};
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "copy", ZQ_TAB_TEXT), CONVERT_CANCELLED);
  EXPECT_EQ(Read("copy.txt"), "old");
  EXPECT_EQ(Remembered(), "before");
  // The overwrite flag is not consulted: the prompt still comes.
  ui->answers = {message::kAnswerYes};
  EXPECT_EQ(Conv().Convert(PathOf("grades.txt"), ZQ_TAB_TEXT, "", Folder(), "copy", ZQ_TAB_TEXT, 1),
            kOk);
  EXPECT_EQ(ui->messages.size(), 3u);
  EXPECT_EQ(Read("copy.txt"), kGradesOut);
  EXPECT_EQ(Remembered(), PathOf("copy.txt"));
}

#ifndef _WIN32
TEST_F(TextConversion, OutputsGetTheUmasksModeOrKeepTheReplacedFilesMode) {
  using std::filesystem::perms;
  const auto ModeOf = [](const std::string& path) {
    return std::filesystem::status(path).permissions() & perms::mask;
  };
  Write("grades.txt", kGrades);
  const mode_t saved = ::umask(027);
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "open", ZQ_TAB_TEXT), kOk);
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "calc", ZQ_TABULEX_68), kOk);
  ::umask(saved);
  EXPECT_EQ(ModeOf(PathOf("open.txt")), perms{0640});
  EXPECT_EQ(ModeOf(PathOf("calc.68y")), perms{0640});
  // A replaced file keeps its own mode, whatever the umask.
  std::filesystem::permissions(PathOf("open.txt"), perms{0606});
  ui->answers = {message::kAnswerYes};
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "open", ZQ_TAB_TEXT), kOk);
  EXPECT_EQ(ModeOf(PathOf("open.txt")), perms{0606});
}
#endif

TEST_F(TextConversion, FolderAtTheOutputNameStops) {
  Write("grades.txt", kGrades);
  for (const auto& [to, name] : {std::pair{ZQ_TAB_TEXT, "out.txt"}, {ZQ_TABULEX_68, "out.68y"}}) {
    ui->messages.clear();
    const std::string output = PathOf(name);
    std::filesystem::create_directory(output);
    EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "out", to), CONVERT_CANCELLED);
    EXPECT_EQ(Shown(*ui),
              (MessageRows{{output + "\nThe above file is read-only. Unable to continue.", "Error",
                            0u, std::nullopt}}));
    EXPECT_TRUE(std::filesystem::is_directory(output));
  }
}

TEST_F(TextConversion, SourceTooSmallOrMissing) {
  Write("empty.txt", "");
  EXPECT_EQ(Convert("empty.txt", ZQ_TAB_TEXT, "out", ZQ_TAB_TEXT), CONVERT_E_SOURCE_TOO_SMALL);
  EXPECT_EQ(Shown(*ui),
            (MessageRows{{ErrorTextFor(ERR_SOURCE_TOO_SMALL), std::nullopt, 0x10u, std::nullopt}}));
  ui->messages.clear();
  EXPECT_EQ(Convert("absent.txt", ZQ_TAB_TEXT, "out", ZQ_TAB_TEXT), kFail);
  std::filesystem::create_directory(PathOf("dir.txt"));
  EXPECT_EQ(Convert("dir.txt", ZQ_TAB_TEXT, "out", ZQ_TAB_TEXT), kFail);
  EXPECT_EQ(ui->Texts(), Texts(2, ErrorTextFor(ERR_SOURCE_OPEN)));
  EXPECT_EQ(Listing(), (Texts{"dir.txt", "empty.txt"}));
  // One byte is enough.
  Write("one.txt", "7");
  EXPECT_EQ(Convert("one.txt", ZQ_TAB_TEXT, "out", ZQ_TAB_TEXT), kOk);
  EXPECT_EQ(Read("out.txt"), "7\t");
}

TEST_F(TextConversion, NullOrUnknownTypesWriteNothing) {
  Write("grades.txt", kGrades);
  // No target, or a target type not known: nothing is read or written, and that is no failure.
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "out", ZQ_TABULEX_NULL), kOk);
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "out", 99), kOk);
  EXPECT_EQ(Remembered(), "");
  // A source type not known fails and says so.
  for (std::int32_t from : {static_cast<std::int32_t>(ZQ_TABULEX_NULL), 42, -1}) {
    ui->messages.clear();
    EXPECT_EQ(Convert("grades.txt", from, "out", ZQ_TAB_TEXT), kFail);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, "The source file type " + std::to_string(from) +
                                        " is not known, so there is nothing to convert.");
  }
  EXPECT_EQ(Listing(), (Texts{"grades.txt"}));
}

TEST_F(TextConversion, MissingErrorTextComponentFallsBackToTheReinstallMessage) {
  services.createErrorText = [] { return std::unique_ptr<IErrorText>(); };
  EXPECT_EQ(Convert("absent.txt", ZQ_TAB_TEXT, "out", ZQ_TAB_TEXT), kFail);
  EXPECT_EQ(Shown(*ui), (MessageRows{{"Application error.  Please reinstall ZQ Tabulex Converter.",
                                      std::nullopt, 0x2010u, std::nullopt}}));
}

TEST_F(TextConversion, NamesAreAppendedToTheFolderAsGiven) {
  Write("grades.txt", kGrades);
  std::filesystem::create_directory(PathOf("sub"));
  // Without a trailing separator the folder's last component starts the file name.
  EXPECT_EQ(
      Conv().Convert(PathOf("grades.txt"), ZQ_TAB_TEXT, "", PathOf("sub"), "x", ZQ_TAB_TEXT, 0),
      kOk);
  EXPECT_TRUE(Exists("subx.txt"));
  // Long paths work: well past 260 bytes in all, each name below the file system's 255-byte
  // limit. Windows' file API refuses paths past its limit, so this is a POSIX case.
#ifndef _WIN32
  const std::string name(200, 'n');
  const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e');
  std::filesystem::create_directories(PathOf(deep));
  EXPECT_EQ(Conv().Convert(PathOf("grades.txt"), ZQ_TAB_TEXT, "", PathOf(deep) + "/", name,
                           ZQ_TAB_TEXT, 0),
            kOk);
  EXPECT_EQ(Read(deep + "/" + name + ".txt"), kGradesOut);
#endif
}

TEST_F(TextConversion, RememberedFileName) {
  std::string name;
  EXPECT_EQ(Conv().GetTheFileName(&name), kOk);
  EXPECT_EQ(name, "");
  Conv().SetTheFileName(std::string("a\0b", 3));
  EXPECT_EQ(Remembered(), "a");
  Conv().SetTheFileName(std::nullopt);
  EXPECT_EQ(Remembered(), "");
}

// An engine that writes its text as the workbook, or fails, or throws.
class FakeEngine : public SpreadsheetEngine {
 public:
  enum Mode { kWorks, kFailsSaving, kSavesNothing, kThrows };
  explicit FakeEngine(Mode mode) : mode_(mode) {}
  int ExcelSheetToText(ConversionContext&, const std::string& workbook, const std::string& text,
                       const std::string& sheet) override {
    if (mode_ == kThrows) throw std::bad_alloc();
    std::ofstream(text, std::ios::binary) << Contents(workbook);
    lastSheet = sheet;
    return 0;
  }
  int TextToExcelWorkbook(ConversionContext& context, const std::string& text,
                          const std::string& workbook) override {
    if (mode_ == kFailsSaving) {
      context.ReportErrorCode(ERR_EXCEL_FAILED);
      return 0;
    }
    if (mode_ == kSavesNothing) return 0;
    std::ofstream(workbook, std::ios::binary) << "WB:" << Contents(text);
    return 0;
  }
  HResult GetExcelSheetNames(ConversionContext&, const std::string&,
                             std::vector<std::string>* names) override {
    *names = {"One", "Two"};
    return kOk;
  }
  std::string lastSheet;

 private:
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  Mode mode_;
};

using WorkbookConversion = DriverTest;

TEST_F(WorkbookConversion, WithoutAnEngineEachUseSaysSoOnce) {
  // A workbook source then reads as too small; the sheet list and the export give nothing.
  Write("book.xls", "whatever");
  EXPECT_EQ(Convert("book.xls", ZQ_EXCEL, "out", ZQ_TAB_TEXT, "Sheet1"),
            CONVERT_E_SOURCE_TOO_SMALL);
  std::vector<std::string> names;
  EXPECT_EQ(Conv().GetExcelSheetNames("book.xls", &names), kFail);
  Conv().WorkbookToText(PathOf("book.xls"), PathOf("book.txt"));
  const std::string notStarted = ErrorTextFor(ERR_EXCEL_NOT_STARTED);
  EXPECT_EQ(ui->Texts(),
            (Texts{notStarted, ErrorTextFor(ERR_SOURCE_TOO_SMALL), notStarted, notStarted}));
  EXPECT_FALSE(Exists("book.txt"));
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(WorkbookConversion, WorkbookSourceIsReadAsExcelText) {
  auto engine = std::make_shared<FakeEngine>(FakeEngine::kWorks);
  services.engine = engine;
  Write("book.xls", "\"=IF(A1=\"\"x\"\",1,2)\"\t=ACOS(B1)\r\n");
  EXPECT_EQ(Convert("book.xls", ZQ_EXCEL, "longername", ZQ_TAB_TEXT, "Marks"), kOk);
  EXPECT_EQ(engine->lastSheet, "Marks");
  // Between a workbook and text, formulas pass unchanged: both speak the spreadsheet's syntax.
  EXPECT_EQ(Read("longername.txt"), "=IF(A1=\"x\",1,2)\t=ACOS(B1)\t");
  // Exported text below three bytes is too small.
  Write("two.xls", "ab");
  EXPECT_EQ(Convert("two.xls", ZQ_EXCEL, "out", ZQ_TAB_TEXT), CONVERT_E_SOURCE_TOO_SMALL);
  EXPECT_EQ(ui->Texts(), (Texts{ErrorTextFor(ERR_SOURCE_TOO_SMALL)}));
  Write("three.xls", "abc");
  EXPECT_EQ(Convert("three.xls", ZQ_EXCEL, "out", ZQ_TAB_TEXT), kOk);
  EXPECT_EQ(Read("out.txt"), "abc\t");
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(WorkbookConversion, WorkbookTargetReplacesTheFileOnlyWhenSaved) {
  Write("grades.txt", kGrades);
  Write("book.xls", "old");
  for (FakeEngine::Mode failing : {FakeEngine::kSavesNothing, FakeEngine::kFailsSaving}) {
    services.engine = std::make_shared<FakeEngine>(failing);
    Make();
    ui->answers = {message::kAnswerYes};
    EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "book", ZQ_EXCEL), kFail) << failing;
    EXPECT_EQ(Read("book.xls"), "old");
    EXPECT_EQ(Remembered(), "");
  }
  services.engine = std::make_shared<FakeEngine>(FakeEngine::kWorks);
  Make();
  ui->answers = {message::kAnswerYes};
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "book", ZQ_EXCEL), kOk);
  // The text handed to the engine carries the output's terminating zero byte.
  EXPECT_EQ(Read("book.xls"), "WB:" + kGradesOut + std::string(1, '\0'));
  EXPECT_EQ(Remembered(), PathOf("book.xls"));
  EXPECT_EQ(Listing(), (Texts{"book.xls", "grades.txt"}));
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(WorkbookConversion, UncaughtExceptionsEndInEFail) {
  services.engine = std::make_shared<FakeEngine>(FakeEngine::kThrows);
  Write("book.xls", "x");
  EXPECT_EQ(Convert("book.xls", ZQ_EXCEL, "out", ZQ_TAB_TEXT), kFail);
  EXPECT_EQ(ui->Texts(), (Texts{"bad allocation"}));
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(WorkbookConversion, SheetNamesComeFromTheEngineAndTheFirstIsExported) {
  auto engine = std::make_shared<FakeEngine>(FakeEngine::kWorks);
  services.engine = engine;
  Texts names;
  EXPECT_EQ(Conv().GetExcelSheetNames("book.xls", &names), kOk);
  EXPECT_EQ(names, (Texts{"One", "Two"}));
  Write("book.xls", "1\t2\r\n");
  Conv().WorkbookToText(PathOf("book.xls"), "");
  EXPECT_FALSE(Exists("book.txt"));
  EXPECT_EQ(engine->lastSheet, "");
  Conv().WorkbookToText(PathOf("book.xls"), PathOf("book.txt"));
  EXPECT_EQ(engine->lastSheet, "One");
  EXPECT_EQ(Read("book.txt"), "1\t2\r\n");
  EXPECT_TRUE(ui->messages.empty());
}

}  // namespace
}  // namespace tabulex
