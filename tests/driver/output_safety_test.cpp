// Outputs under attack and bad luck: links planted at temporary names, names that leave the
// output folder, targets that appear while a conversion runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "components/VarFileStandIn.h"
#include "converter/platform/ExclusiveFile.h"
#include "tests/support/DriverFixture.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace tabulex {
namespace {

namespace fs = std::filesystem;
using platform::ExclusiveFile;
using platform::Moved;
using platform::Replace;
using testing::DriverTest;

using OutputSafety = DriverTest;

TEST_F(OutputSafety, ExclusiveFileWritesThroughItsHandleAndMovesWithoutReplacing) {
  std::optional<ExclusiveFile> file = ExclusiveFile::Create(Folder(), "~t", ".ext");
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->Path().rfind(Folder() + "~t", 0), 0u);
  EXPECT_EQ(file->Path().substr(file->Path().size() - 4), ".ext");
  ASSERT_TRUE(file->Write("new bytes"));
  Write("taken", "kept");
  EXPECT_EQ(file->MoveTo(PathOf("taken"), Replace::kNothing), Moved::kTargetExists);
  EXPECT_EQ(file->MoveTo(PathOf("free"), Replace::kNothing), Moved::kDone);
  EXPECT_EQ(Read("free"), "new bytes");
  EXPECT_EQ(Read("taken"), "kept");

  std::optional<ExclusiveFile> other = ExclusiveFile::Create(Folder(), "~t");
  ASSERT_TRUE(other && other->Write("replacement"));
  EXPECT_EQ(other->MoveTo(PathOf("taken"), Replace::kExisting), Moved::kDone);
  EXPECT_EQ(Read("taken"), "replacement");
  {
    std::optional<ExclusiveFile> dropped = ExclusiveFile::Create(Folder(), "~t");
    ASSERT_TRUE(dropped && dropped->Write("partial"));
  }
  EXPECT_EQ(Listing(), (std::vector<std::string>{"free", "taken"}));
}

#ifdef _WIN32

TEST_F(OutputSafety, FinishedFileMovesToALongFormPath) {
  std::optional<ExclusiveFile> file = ExclusiveFile::Create(Folder(), "~t");
  ASSERT_TRUE(file && file->Write("bytes"));
  const std::string target = "\\\\?\\" + fs::absolute(PathOf("long")).string();
  EXPECT_EQ(file->MoveTo(target, Replace::kNothing), Moved::kDone);
  EXPECT_EQ(Read("long"), "bytes");
}

#endif

#ifndef _WIN32

TEST_F(OutputSafety, LinkPlantedAtTheTemporaryNameIsNeverFollowed) {
  Write("victim", "precious");
  std::optional<ExclusiveFile> file = ExclusiveFile::Create(Folder(), "~t");
  ASSERT_TRUE(file.has_value());
  // Another user replaces the freshly made name with a link to a file of the converting user.
  std::thread attacker([&] {
    fs::remove(file->Path());
    fs::create_symlink(PathOf("victim"), file->Path());
  });
  attacker.join();
  EXPECT_TRUE(file->Write("converted output"));
  EXPECT_EQ(file->MoveTo(PathOf("out"), Replace::kNothing), Moved::kFailed);
  EXPECT_EQ(Read("victim"), "precious");
  EXPECT_FALSE(fs::exists(fs::symlink_status(PathOf("out"))));
}

TEST_F(OutputSafety, OwnerOnlyFilesAreTheOwnersAloneWhateverTheUmask) {
  const mode_t saved = umask(027);
  std::optional<ExclusiveFile> own =
      ExclusiveFile::Create(Folder(), "~t", {}, platform::Visibility::kOwnerOnly);
  umask(saved);
  ASSERT_TRUE(own);
  EXPECT_EQ(fs::status(own->Path()).permissions() & fs::perms::mask, fs::perms{0600});
}

TEST_F(OutputSafety, StandInSaveReplacesALinkInsteadOfWritingThroughIt) {
  Write("victim", "precious");
  fs::create_symlink(PathOf("victim"), PathOf("out.68y"));
  components::VarFileStandIn component;
  const std::uint8_t data[] = {1, 2, 3};
  ASSERT_EQ(component.put_DeviceType(7), kOk);
  ASSERT_EQ(component.put_VarName("v"), kOk);
  ASSERT_EQ(component.SetVarData(data, 3, VarTag(std::string(kKv68SheetTag))), kOk);
  ASSERT_EQ(component.SaveFile(PathOf("out.68y"), 0, 0), kOk);
  EXPECT_EQ(Read("victim"), "precious");
  EXPECT_FALSE(fs::is_symlink(PathOf("out.68y")));
  EXPECT_EQ(Read("out.68y").substr(0, 8), "**KV68**");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"out.68y", "victim"}));
}

// Turns every temporary output that appears in the folder into a link to the victim, for as long
// as the conversions run.
TEST_F(OutputSafety, ConversionsUnderAnAttackerNeverWriteThroughALink) {
  Write("victim", "precious");
  Write("grades.txt", "1\t2\r\n=A1+B1\r\n");
  std::atomic<bool> done{false};
  std::thread attacker([&] {
    while (!done) {
      std::error_code ec;
      for (const auto& entry : fs::directory_iterator(folder_.Root(), ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("~", 0) != 0 || fs::is_symlink(entry.symlink_status(ec))) continue;
        fs::remove(entry.path(), ec);
        fs::create_symlink(PathOf("victim"), entry.path(), ec);
      }
    }
  });
  for (int i = 0; i < 40; ++i) {
    ui->answers = {message::kAnswerYes, message::kAnswerYes};
    Convert("grades.txt", ZQ_TAB_TEXT, "out", ZQ_TAB_TEXT);
    Convert("grades.txt", ZQ_TAB_TEXT, "out", ZQ_TABULEX_68);
    Convert("out.68y", ZQ_TABULEX_68, "copy", ZQ_TABULEX_74);
  }
  done = true;
  attacker.join();
  EXPECT_EQ(Read("victim"), "precious");
}

// Every write past `bytes` fails as on a full disk, while the object lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the process
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

TEST_F(OutputSafety, FailedWritesLeaveNoTemporaryFiles) {
  Write("grades.txt", std::string(300, '7'));
  ASSERT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "g", ZQ_TABULEX_68), kOk);
  Write("old.7xy", "old");
  Write("old.txt", "old");
  {
    FileSizeLimit full(100);
    for (int i = 0; i < 2; ++i) {
      ui->answers = {message::kAnswerYes};
      EXPECT_EQ(Convert("g.68y", ZQ_TABULEX_68, "old", ZQ_TABULEX_74), kFail);
      ui->answers = {message::kAnswerYes};
      EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "old", ZQ_TAB_TEXT), kFail);
      EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "new", ZQ_TABULEX_68), kFail);
    }
  }
  EXPECT_EQ(Read("old.7xy"), "old");
  EXPECT_EQ(Read("old.txt"), "old");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"g.68y", "grades.txt", "old.7xy", "old.txt"}));
}

#endif  // _WIN32

TEST_F(OutputSafety, NamesThatLeaveTheOutputFolderAreRefused) {
  Write("grades.txt", "1");
  fs::create_directories(PathOf("out/sub"));
  const std::string out = PathOf("out/");
  const char* escaping[] = {"../escape", "sub/../../escape",     "a\\..\\..\\b", "./../x",
                            "/tmp/abs",  "\\\\server\\share\\x", "C:escape",     ".. \\x"};
  for (const char* name : escaping) {
    for (std::int32_t to : {ZQ_TAB_TEXT, ZQ_EXCEL}) {
      ui->messages.clear();
      EXPECT_EQ(Conv().Convert(PathOf("grades.txt"), ZQ_TAB_TEXT, "", out, name, to, 0),
                kInvalidArg)
          << name;
      ASSERT_EQ(ui->messages.size(), 1u) << name;
      EXPECT_EQ(ui->messages[0].text,
                "The output name \"" + std::string(name) + (to == ZQ_TAB_TEXT ? ".txt" : ".xls") +
                    "\" would put the file outside the folder " + out +
                    ", so nothing was written. Choose a name without \"..\", a drive or a "
                    "leading separator.");
    }
  }
  ASSERT_EQ(Conv().Convert(PathOf("grades.txt"), ZQ_TAB_TEXT, "", out, "g", ZQ_TABULEX_68, 0), kOk);
  EXPECT_EQ(
      Conv().Convert(PathOf("out/g.68y"), ZQ_TABULEX_68, "", out, "../escape", ZQ_TABULEX_74, 0),
      kInvalidArg);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"grades.txt", "out"}));
  EXPECT_TRUE(fs::is_empty(PathOf("out/sub")));
  // Dots inside a name and subfolders that stay inside are fine.
  EXPECT_EQ(Conv().Convert(PathOf("grades.txt"), ZQ_TAB_TEXT, "", out, "sub/a..b", ZQ_TAB_TEXT, 0),
            kOk);
  EXPECT_TRUE(Exists("out/sub/a..b.txt"));
}

TEST_F(OutputSafety, NamesNoFileCanHaveAreRefusedBeforeAnythingIsWritten) {
  Write("grades.txt", "1");
  const std::string tooLong(256, 'n');
  const struct {
    std::string name;
    std::int32_t to;
    const char* why;
  } refusals[] = {
      {tooLong, ZQ_TAB_TEXT, "a part of it is longer than 255 bytes"},
      {"sub\\" + tooLong, ZQ_TAB_TEXT, "a part of it is longer than 255 bytes"},
      // Nothing before the extension: the name ends in a separator.
      {"./", ZQ_TAB_TEXT, "it names a folder, not a file"},
#ifdef _WIN32
      // Writing to a device name writes to the device; a colon names a hidden stream.
      {"CON", ZQ_TAB_TEXT, "CON is the name of a device"},
      {"nul.backup", ZQ_TAB_TEXT, "NUL is the name of a device"},
      {"com1", ZQ_TABULEX_68, "COM1 is the name of a device"},
      {"notes:hidden", ZQ_TAB_TEXT, "it holds the character ':'"},
      {"what?", ZQ_TAB_TEXT, "it holds the character '?'"},
      {"sub.\\a", ZQ_TAB_TEXT, "it ends in a dot or a blank, which Windows drops"},
#endif
  };
  for (const auto& r : refusals) {
    ui->messages.clear();
    EXPECT_EQ(Conv().Convert(PathOf("grades.txt"), ZQ_TAB_TEXT, "", Folder(), r.name, r.to, 0),
              kInvalidArg)
        << r.name;
    ASSERT_FALSE(ui->messages.empty()) << r.name;
    EXPECT_EQ(ui->messages.back().text, "The output name \"" + r.name +
                                            (r.to == ZQ_TAB_TEXT ? ".txt" : ".68y") +
                                            "\" cannot name a file (" + r.why +
                                            "), so nothing was written. Choose another name.");
  }
  EXPECT_EQ(Listing(), (std::vector<std::string>{"grades.txt"}));
}

// Creates the target from inside the save, as a second conversion finishing first would.
class RacedSave : public components::VarFileStandIn {
 public:
  explicit RacedSave(std::string target) : target_(std::move(target)) {}
  HResult SaveFile(const std::string& path, std::int32_t flag, std::int32_t reserved) override {
    std::ofstream(target_, std::ios::binary) << "written meanwhile";
    return VarFileStandIn::SaveFile(path, flag, reserved);
  }

 private:
  std::string target_;
};

TEST_F(OutputSafety, TargetThatAppearsMeanwhileIsSkippedNotReplaced) {
  const std::string target = PathOf("g.68y");
  services.createVarFile = [target] { return std::make_unique<RacedSave>(target); };
  Write("grades.txt", "1");
  EXPECT_EQ(Convert("grades.txt", ZQ_TAB_TEXT, "g", ZQ_TABULEX_68), CONVERT_SKIPPED);
  EXPECT_EQ(Read("g.68y"), "written meanwhile");
  EXPECT_EQ(Remembered(), "");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"g.68y", "grades.txt"}));
}

TEST_F(OutputSafety, ParallelConversionsWithoutOverwriteWriteOnce) {
  Write("grades.txt", "1");
  constexpr int kWriters = 6;
  std::vector<HResult> results(kWriters);
  std::vector<std::thread> writers;
  for (int i = 0; i < kWriters; ++i) {
    writers.emplace_back([&, i] {
      // The overwrite prompt is answered No, as the command does without a terminal.
      auto keeping = std::make_shared<testing::ScriptedUi>();
      keeping->answers = {message::kAnswerNo};
      Converter converter(components::StandInServices(keeping));
      results[i] = converter.Convert(PathOf("grades.txt"), ZQ_TAB_TEXT, "", Folder(), "same",
                                     ZQ_TAB_TEXT, 0);
    });
  }
  for (std::thread& t : writers) t.join();
  EXPECT_EQ(std::count(results.begin(), results.end(), kOk), 1);
  EXPECT_EQ(std::count(results.begin(), results.end(), CONVERT_SKIPPED), kWriters - 1)
      << ::testing::PrintToString(results);
  EXPECT_EQ(Listing(), (std::vector<std::string>{"grades.txt", "same.txt"}));
}

}  // namespace
}  // namespace tabulex
