// Starting, connecting to and ending a private LibreOffice process.
#include "components/libreoffice/OfficeProcess.h"

#include <osl/process.h>

#include <charconv>
#include <chrono>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>
#include <rtl/ustring.hxx>
#include <thread>
#include <vector>

#include "components/libreoffice/UnoText.h"
#include "converter/platform/ExclusiveFile.h"
#include "converter/platform/Files.h"
#include "converter/platform/Process.h"

namespace tabulex::libreoffice {

namespace {

using namespace std::chrono_literals;
using css::uno::Reference;

// A fresh profile makes the first start end with this status and ask to be started again.
constexpr int kRestartRequested = 81;
constexpr auto kConnectTimeout = 60s;
constexpr auto kConnectRetry = 100ms;
constexpr auto kTerminateWait = 10s;
// Private profiles are folders named this, the process id, a dash and a unique part.
constexpr std::string_view kProfilePrefix = "tabulex-office-";
// Files written for the office first take a unique name with this prefix beside their own.
constexpr std::string_view kWritePrefix = "~tx";

// The profile's settings: Excel's A1 formula syntax (so references to other sheets read
// Sheet2!A1) and the en-US locale (so numbers use a decimal point and functions take commas),
// whatever the user's own settings are.
constexpr std::string_view kProfileSettings =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Syntax"><prop oor:name="Grammar" oor:op="fuse"><value>1</value></prop></item>
<item oor:path="/org.openoffice.Office.Calc/Formula/Syntax"><prop oor:name="EnglishFunctionName" oor:op="fuse"><value>true</value></prop></item>
<item oor:path="/org.openoffice.Setup/L10N"><prop oor:name="ooLocale" oor:op="fuse"><value>en-US</value></prop></item>
<item oor:path="/org.openoffice.Setup/L10N"><prop oor:name="ooSetupSystemLocale" oor:op="fuse"><value>en-US</value></prop></item>
<item oor:path="/org.openoffice.Office.Linguistic/General"><prop oor:name="DefaultLocale" oor:op="fuse"><value>en-US</value></prop></item>
</oor:items>
)";

// The program folder holds the ini file that names LibreOffice's type and service registries.
std::string ProgramFolder(const std::string& program) {
  return platform::FolderOf(program);
}

// The local UNO runtime, bootstrapped from the office's own registries so that the bridge knows
// every type the office speaks. One per process.
Reference<css::uno::XComponentContext> LocalContext(const std::string& program) {
  static Reference<css::uno::XComponentContext> context = [&] {
    const OUString ini =
        ToOUString("vnd.sun.star.pathname:" + ProgramFolder(program) + "fundamentalrc");
    osl_setEnvironment(OUString("URE_BOOTSTRAP").pData, ini.pData);
    return cppu::defaultBootstrap_InitialComponentContext();
  }();
  return context;
}

}  // namespace

bool OfficeProcess::Fail(std::string reason) {
  failure_ = std::move(reason);
  Stop();
  return false;
}

bool OfficeProcess::Start() {
  failure_.clear();
  if (!platform::IsExecutableFile(program_)) {
    return Fail("LibreOffice is not installed (" + program_ +
                " is missing); install the package libreoffice-calc-nogui");
  }
  if (!PrepareProfile()) return Fail("cannot create a private LibreOffice profile");
  // The office may die while the bridge writes to it; that must fail the call, not end us.
  platform::IgnoreBrokenPipes();
  try {
    local_ = LocalContext(program_);
  } catch (const css::uno::Exception& e) {
    return Fail("cannot start the UNO runtime: " + FromOUString(e.Message));
  } catch (const cppu::BootstrapException& e) {
    return Fail("cannot start the UNO runtime: " + FromOUString(e.getMessage()));
  }
  if (!Spawn()) return Fail("cannot run " + program_);
  return Connect();
}

namespace {

// A command killed outright cannot remove its office's profile; the next start removes the
// profiles whose process has ended. The folder names carry the process id.
void RemoveAbandonedProfiles() {
  const std::string temp = platform::TempFolder();
  for (const std::string& name : platform::FolderEntries(temp)) {
    if (!name.starts_with(kProfilePrefix)) continue;
    const std::string rest = name.substr(kProfilePrefix.size());
    const std::size_t dash = rest.find('-');
    int pid = 0;
    // Anyone may put a folder of that name into a shared temporary folder: a number too large
    // for a process id is not one of ours.
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    if (error != std::errc() || dash == std::string::npos || end != rest.data() + dash ||
        rest[0] == '-') {
      continue;
    }
    if (!platform::ProcessRuns(pid)) platform::RemoveTree(temp + name);
  }
}

}  // namespace

bool WriteFileOver(const std::string& path, std::string_view bytes) {
  std::optional<platform::ExclusiveFile> file =
      platform::ExclusiveFile::Create(platform::FolderOf(path), kWritePrefix);
  return file && file->Write(bytes) &&
         file->MoveTo(path, platform::Replace::kExisting) == platform::Moved::kDone;
}

bool OfficeProcess::PrepareProfile() {
  RemoveAbandonedProfiles();
  const std::string prefix =
      std::string(kProfilePrefix) + std::to_string(platform::CurrentProcessId()) + "-";
  std::optional<std::string> root = platform::CreateUniqueFolder(prefix);
  if (!root) return false;
  root_ = *root;
  scratch_ = root_ + "/scratch/";
  const std::string user = root_ + "/profile/user/";
  // Unique like the profile's folder name, which ends in the process id and a unique part.
  pipeName_ = "tabulex-" + root_.substr(root_.rfind('/') + 1 + kProfilePrefix.size());
  return platform::CreateFolders(scratch_) && platform::CreateFolders(user) &&
         WriteFileOver(user + "registrymodifications.xcu", kProfileSettings);
}

bool OfficeProcess::Spawn() {
  OUString profileUrl;
  osl::FileBase::getFileURLFromSystemPath(ToOUString(root_ + "/profile"), profileUrl);
  const std::vector<std::string> argv = {
      program_,
      "-env:UserInstallation=" + FromOUString(profileUrl),
      "--headless",
      "--invisible",
      "--nologo",
      "--norestore",
      "--nodefault",
      "--nolockcheck",
      "--accept=pipe,name=" + pipeName_ + ";urp;StarOffice.ComponentContext",
  };
  pid_ = platform::SpawnBoundChild(argv);
  return pid_.has_value();
}

bool OfficeProcess::Connect() {
  const OUString url =
      ToOUString("uno:pipe,name=" + pipeName_ + ";urp;StarOffice.ComponentContext");
  const auto deadline = std::chrono::steady_clock::now() + kConnectTimeout;
  bool restarted = false;
  try {
    Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(local_);
    while (std::chrono::steady_clock::now() < deadline) {
      try {
        Reference<css::uno::XComponentContext> remote(resolver->resolve(url),
                                                      css::uno::UNO_QUERY_THROW);
        desktop_ = css::frame::Desktop::create(remote);
        return true;
      } catch (const css::connection::NoConnectException&) {
      }
      if (std::optional<int> status = platform::WaitChild(*pid_, kConnectRetry)) {
        pid_.reset();
        if (*status != kRestartRequested || restarted) {
          return Fail("LibreOffice ended at start with status " + std::to_string(*status));
        }
        restarted = true;
        if (!Spawn()) return Fail("cannot run " + program_);
      }
    }
  } catch (const css::uno::Exception& e) {
    return Fail("cannot connect to LibreOffice: " + FromOUString(e.Message));
  }
  return Fail("LibreOffice did not answer within " + std::to_string(kConnectTimeout.count()) +
              " s");
}

bool OfficeProcess::Running() {
  if (pid_ && platform::WaitChild(*pid_, std::chrono::milliseconds(0))) {
    pid_.reset();
    desktop_.clear();
  }
  return pid_.has_value();
}

void OfficeProcess::Stop() {
  if (desktop_.is()) {
    try {
      desktop_->terminate();
    } catch (...) {
      // The office may already be gone; it is killed below if not.
    }
    desktop_.clear();
  }
  if (pid_) {
    if (!platform::WaitChild(*pid_, kTerminateWait)) platform::KillChild(*pid_);
    pid_.reset();
  }
  if (!root_.empty()) {
    platform::RemoveTree(root_);
    root_.clear();
  }
}

}  // namespace tabulex::libreoffice
