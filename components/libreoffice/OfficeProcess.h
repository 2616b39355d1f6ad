// A private LibreOffice process driven over a UNO pipe: started with its own profile, bound to
// this process, ended on Stop.
#pragma once

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace tabulex::libreoffice {

class OfficeProcess {
 public:
  // `program` is the full path of LibreOffice's soffice.bin.
  explicit OfficeProcess(std::string program) : program_(std::move(program)) {}
  OfficeProcess(const OfficeProcess&) = delete;
  OfficeProcess& operator=(const OfficeProcess&) = delete;
  ~OfficeProcess() { Stop(); }

  // Starts the process and connects to it; false with Failure() set when that fails.
  bool Start();
  // Asks the office to end, waits a while, then kills it; removes the private profile.
  void Stop();
  // Whether the office still runs; one that ended (it crashed, or was killed) is collected.
  bool Running();
  std::optional<int> ProcessId() const { return pid_; }
  // Why Start failed.
  const std::string& Failure() const { return failure_; }

  // The office's desktop, which loads documents. Valid while Running().
  const css::uno::Reference<css::frame::XDesktop2>& Desktop() const { return desktop_; }
  // A folder of this process's own for files the office writes on the way.
  const std::string& ScratchFolder() const { return scratch_; }

 private:
  bool PrepareProfile();
  bool Spawn();
  bool Connect();
  bool Fail(std::string reason);

  std::string program_;
  std::string root_;
  std::string scratch_;
  std::string pipeName_;
  std::optional<int> pid_;
  std::string failure_;
  css::uno::Reference<css::uno::XComponentContext> local_;
  css::uno::Reference<css::frame::XDesktop2> desktop_;
};

// Writes `bytes` into a new file beside `path` and moves it to `path`, replacing a file there,
// so that a file put at the name beforehand is never written through.
bool WriteFileOver(const std::string& path, std::string_view bytes);

}  // namespace tabulex::libreoffice
