// The per-conversion channel through which sheets and cells reach the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <optional>
#include <string_view>
#include <vector>

#include "converter/model/ErrorCodes.h"

namespace tabulex {

// Message box styles and answers, with the values the platform uses.
namespace message {
inline constexpr std::uint32_t kOk = 0x0;
inline constexpr std::uint32_t kYesNoCancel = 0x3;
inline constexpr std::uint32_t kIconError = 0x10;
inline constexpr std::uint32_t kIconQuestion = 0x20;
inline constexpr std::uint32_t kIconWarning = 0x30;
inline constexpr std::uint32_t kIconInformation = 0x40;
inline constexpr std::uint32_t kTaskModal = 0x2000;

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
}  // namespace message

// Handed to every sheet and cell when it is constructed; one per conversion, so nothing the
// model reports goes through global state.
class ConversionContext {
 public:
  // Cells, records and list nodes come from an arena whose blocks come from `blocks`.
  explicit ConversionContext(std::pmr::memory_resource& blocks = *std::pmr::new_delete_resource())
      : arena_(kFirstBlockSize, &blocks) {}
  // Cells, records and list nodes are made straight in `memory`, each a block of its own.
  struct EachObjectIn {
    std::pmr::memory_resource& memory;
  };
  explicit ConversionContext(EachObjectIn objects) : memory_(&objects.memory) {}
  ConversionContext(const ConversionContext&) = delete;
  ConversionContext& operator=(const ConversionContext&) = delete;
  virtual ~ConversionContext() = default;

  // Where the conversion's cells, records and list nodes are made. They come out of a few large
  // blocks, and the blocks go back all at once when the context ends, so every sheet and cell
  // made with this context must be destroyed before it.
  std::pmr::memory_resource& Memory() { return *memory_; }

  // Shows the text of a 32-bit error code to the user.
  virtual void ReportErrorCode(std::uint32_t code) = 0;

  // Shows a modal message box and returns the user's answer (message::kAnswer...). A missing
  // caption means the platform's default caption; `ownerTitle` names the top-level window that
  // should own the box when one with that title exists.
  virtual int ShowMessage(std::string_view text, std::optional<std::string_view> caption,
                          std::uint32_t style,
                          std::optional<std::string_view> ownerTitle = std::nullopt) = 0;

  // Writes a progress trace; it carries no data.
  virtual void Trace(std::string_view text) = 0;

  // Whether formulas (and the underscore words of calculator text) are rewritten between the
  // spreadsheet's syntax and the neutral one. Off when text and workbooks are converted into
  // each other: both sides speak the spreadsheet's syntax, and the two rewrite tables do not
  // undo each other.
  bool RewritesFormulas() const { return rewritesFormulas_; }
  void SetRewritesFormulas(bool rewrites) { rewritesFormulas_ = rewrites; }

  // Tells that the cell at (row, column) was left out because the target cannot hold its
  // position. The sheet also reports ERR_SHEET_TOO_LARGE once through LeaveOutCell.
  virtual void CellLeftOut(int row, int column) {
    static_cast<void>(row);
    static_cast<void>(column);
  }

  // Tells that the target kept only the start of the text or formula of the cell at (row,
  // column): the calculator formats hold a fixed number of bytes, and a cut formula will not work.
  virtual void CellCut(int row, int column) {
    static_cast<void>(row);
    static_cast<void>(column);
  }

  // Leaves a cell out of a target that cannot hold its position: the sheet-too-large error once
  // per conversion, and the position for whoever counts what was lost.
  void LeaveOutCell(int row, int column) {
    ReportErrorCodeOnce(ERR_SHEET_TOO_LARGE);
    CellLeftOut(row, column);
  }

  // Reports `code` the first time it is asked for during this conversion only, for limits that
  // many cells may hit.
  void ReportErrorCodeOnce(std::uint32_t code) {
    for (std::uint32_t reported : reportedOnce_) {
      if (reported == code) return;
    }
    reportedOnce_.push_back(code);
    ReportErrorCode(code);
  }

 private:
  // The first block is large enough for a small sheet; later blocks grow geometrically.
  static constexpr std::size_t kFirstBlockSize = 64 * 1024;

  std::pmr::monotonic_buffer_resource arena_;
#ifdef TABULEX_MEMORY_PER_OBJECT
  // Sanitizer builds make every object a heap block of its own, so that a use after free, a
  // double free or a leak of a single cell or record is caught where it happens.
  std::pmr::memory_resource* memory_ = std::pmr::new_delete_resource();
#else
  std::pmr::memory_resource* memory_ = &arena_;
#endif
  std::vector<std::uint32_t> reportedOnce_;
  bool rewritesFormulas_ = true;
};

}  // namespace tabulex
