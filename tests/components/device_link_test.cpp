// The stand-in device-link component: finding the configured calculator, the device choice,
// and which files the calculator accepts and where they arrive.
#include <gtest/gtest.h>

#include "components/DeviceLinkStandIn.h"
#include "components/VarFileStandIn.h"
#include "converter/driver/FileTypes.h"
#include "tests/support/TempFolder.h"

namespace tabulex::components {
namespace {

using testing::TempFolder;

std::string Kv52File(const std::string& name) {
  return *WrapKv52(name, kAppVarSheetSignature, "cells");
}
std::string Kv68File(std::int32_t fileType, const std::string& name) {
  return *WrapKv68(DeviceTypeOf(fileType), name, kKv68SheetTag, "cells");
}

TEST(DeviceLink, NothingIsFoundOrSentUntilTheUserChoosesACalculatorTheChoiceOffers) {
  DeviceLinkStandIn none({"", "C:\\calculator", true});
  DeviceLinkStandIn missed({"KV-74P", "C:\\calculator", false});  // one the search misses
  EXPECT_TRUE(none.Choices().empty());
  EXPECT_EQ(missed.Choices(), std::vector<std::string>{"KV-74P"});
  for (DeviceLinkStandIn* link : {&none, &missed}) {
    EXPECT_EQ(link->FindDevice(), kNoDevice);
    std::string model = "stale";
    EXPECT_EQ(link->get_Model(&model), kNoDevice);
    EXPECT_EQ(model, "stale");
    EXPECT_EQ(link->ChooseDevice("KV-68"), kInvalidArg);
    EXPECT_EQ(link->FindDevice(), kNoDevice);
    EXPECT_EQ(link->SendFile("C:\\any.68y"), kNoDevice);
  }
  EXPECT_EQ(missed.ChooseDevice("KV-74P"), kOk);
  EXPECT_EQ(missed.FindDevice(), kOk);
  std::string model;
  EXPECT_EQ(missed.get_Model(&model), kOk);
  EXPECT_EQ(model, "KV-74P");
}

TEST(DeviceLink, ASentFileArrivesUnderItsNameAndReplacesAnEarlierOne) {
  TempFolder source, calculator;
  source.Write("budget.68y", Kv68File(ZQ_TABULEX_68, "budget"));
  calculator.Write("budget.68y", "sent before");
  DeviceLinkStandIn link({"KV-68T", calculator.Root().string(), true});
  // Nothing is sent before the calculator has been found.
  EXPECT_EQ(link.SendFile(source.PathOf("budget.68y")), kNoDevice);
  ASSERT_EQ(link.FindDevice(), kOk);
  EXPECT_EQ(link.SendFile(source.PathOf("budget.68y")), kOk);
  EXPECT_EQ(calculator.Read("budget.68y"), source.Read("budget.68y"));
  EXPECT_TRUE(source.Exists("budget.68y"));
}

TEST(DeviceLink, EachModelTakesFilesOfItsOwnTypeOnly) {
  TempFolder source, calculator;
  source.Write("a.5xv", Kv52File("A"));
  source.Write("B.5XV", Kv52File("B"));
  source.Write("c.68y", Kv68File(ZQ_TABULEX_68, "c"));
  source.Write("d.7xy", Kv68File(ZQ_TABULEX_74, "d"));
  source.Write("e.r2y", Kv68File(ZQ_TABULEX_RB200, "e"));
  source.Write("f.68y", Kv52File("F"));  // a KV-52 Plus variable under a KV-68 name
  source.Write("text.68y", "A1\t5\n");
  struct Case {
    const char* model;
    const char* file;
    HResult expected;
  };
  const Case cases[] = {
      {"KV-52P", "a.5xv", kOk},
      {"KV-57PSE", "B.5XV", kOk},
      {"KV-52PSE", "c.68y", kFileRefused},
      {"KV-68", "c.68y", kOk},
      {"KV-68", "d.7xy", kFileRefused},
      {"KV-74P", "d.7xy", kOk},
      {"KV-74P", "c.68y", kFileRefused},
      {"R200", "e.r2y", kOk},
      {"KV-68", "f.68y", kFileRefused},
      {"KV-68", "text.68y", kInvalidData},
      {"KV-68", "gone.68y", kFileNotFound},
      {"KV-84", "c.68y", kFileRefused},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.model) + " " + c.file);
    DeviceLinkStandIn link({c.model, calculator.Root().string(), true});
    ASSERT_EQ(link.FindDevice(), kOk);
    EXPECT_EQ(link.SendFile(source.PathOf(c.file)), c.expected);
    EXPECT_EQ(calculator.Exists(c.file), c.expected == kOk);
    std::filesystem::remove(calculator.PathOf(c.file));
  }
}

TEST(DeviceLink, ACalculatorWhoseMemoryIsMissingCannotBeReached) {
  TempFolder source, calculator;
  source.Write("c.68y", Kv68File(ZQ_TABULEX_68, "c"));
  for (const std::string& folder : {calculator.PathOf("unplugged"), std::string()}) {
    DeviceLinkStandIn link({"KV-68", folder, true});
    ASSERT_EQ(link.FindDevice(), kOk);
    EXPECT_EQ(link.SendFile(source.PathOf("c.68y")), kDeviceUnreachable) << folder;
  }
  DeviceLinkStandIn link({"KV-68", calculator.Root().string(), true});
  ASSERT_EQ(link.FindDevice(), kOk);
  EXPECT_EQ(link.SendFile(""), kInvalidArg);
}

}  // namespace
}  // namespace tabulex::components
