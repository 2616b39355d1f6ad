// One LibreOffice engine for the whole test program: starting the office costs seconds.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "components/libreoffice/LibreOfficeEngine.h"

namespace tabulex::testing {

class SharedEngine : public ::testing::Environment {
 public:
  static std::shared_ptr<libreoffice::LibreOfficeEngine> Get() {
    if (!engine_) engine_ = std::make_shared<libreoffice::LibreOfficeEngine>();
    return engine_;
  }
  // Ends the office before the program's static objects go, while UNO still works.
  void TearDown() override { engine_.reset(); }

 private:
  static inline std::shared_ptr<libreoffice::LibreOfficeEngine> engine_;
};

}  // namespace tabulex::testing
