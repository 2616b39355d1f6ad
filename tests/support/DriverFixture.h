// A fixture for conversions through the driver: a fresh folder per test, the stand-in
// components and a user interface that answers from a script and records every message.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "components/StandInServices.h"
#include "converter/driver/Converter.h"
#include "converter/driver/FileTypes.h"
#include "converter/model/ConversionContext.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TempFolder.h"

namespace tabulex::testing {

class ScriptedUi : public UserInterface, public MessageScript {
 public:
  int ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                  std::uint32_t style, std::optional<std::string_view> ownerTitle) override {
    return Answer(text, caption, style, ownerTitle);
  }
};

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_.Root() / "tmp");
    ui = std::make_shared<ScriptedUi>();
    services = components::StandInServices(ui);
    services.tempFolder = folder_.PathOf("tmp/");
  }

  Converter& Make() {
    converter = std::make_unique<Converter>(services);
    return *converter;
  }
  Converter& Conv() { return converter ? *converter : Make(); }

  std::string Folder() const { return folder_.Folder(); }
  std::string PathOf(const std::string& name) const { return folder_.PathOf(name); }
  void Write(const std::string& name, const std::string& bytes) const {
    folder_.Write(name, bytes);
  }
  std::string Read(const std::string& name) const { return folder_.Read(name); }
  bool Exists(const std::string& name) const { return folder_.Exists(name); }
  // The names in the test folder, the temporary folder excluded.
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder_.Root())) {
      if (e.path().filename() != "tmp") names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  bool TempFolderEmpty() const { return std::filesystem::is_empty(folder_.Root() / "tmp"); }
  std::string Remembered() {
    std::string name;
    Conv().GetTheFileName(&name);
    return name;
  }
  HResult Convert(const std::string& input, std::int32_t from, const std::string& name,
                  std::int32_t to, const std::string& sheet = "") {
    return Conv().Convert(PathOf(input), from, sheet, Folder(), name, to, 0);
  }
  // Text -> NAME as a calculator file of the type -> back.txt; returns the text read back.
  std::string RoundTrip(const std::string& text, const std::string& name, std::int32_t type) {
    Write("source.txt", text);
    EXPECT_EQ(Convert("source.txt", ZQ_TAB_TEXT, name, type), kOk);
    EXPECT_EQ(Convert(name + std::string(ExtensionOf(type)), type, "back", ZQ_TAB_TEXT), kOk);
    return Read("back.txt");
  }

  TempFolder folder_;
  std::shared_ptr<ScriptedUi> ui;
  ConverterServices services;
  std::unique_ptr<Converter> converter;
};

}  // namespace tabulex::testing
