// One cell record of a KV-68 family spreadsheet variable.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "converter/model/ByteStream.h"
#include "converter/model/ConversionContext.h"
#include "converter/model/Spreadsheet.h"

namespace tabulex {

// Cell kinds, bits 0-1 of a record's flags byte.
inline constexpr std::uint8_t kKv68KindNumber = 0;
inline constexpr std::uint8_t kKv68KindText = 1;
inline constexpr std::uint8_t kKv68KindFormula = 2;
inline constexpr std::uint8_t kKv68KindFormulaRead = 3;

// Longest text a text record stores, and longest formula text a formula record stores (the
// longest that keeps the record within the 255 bytes its length byte can count).
inline constexpr std::size_t kKv68MaxText = 243;
inline constexpr std::size_t kKv68MaxFormula = 237;

// Bytes of a record besides its content: length, position, flags and the reference count.
inline constexpr std::size_t kKv68RecordOverhead = 6;

inline constexpr char kKv68RangeMessage[] = "Cell Data Value out of range";
// A fixed progress trace, kept word for word on purpose: tools that read the traces match it.
inline constexpr char kKv68TextTrace[] = "Mac version changed, remove quote\n";

class Kv68Cell : public SpreadsheetCell {
 public:
  // Reading: parses one record at the position of `input`. A terminator, and a record that is
  // too short, runs past the end of the input or whose parts do not add up, leave the cell with
  // a length of 0: either ends the cell list.
  Kv68Cell(ConversionContext& context, InputStream& input);
  // Writing: takes over the record of a source cell.
  Kv68Cell(ConversionContext& context, SpreadsheetCell& owner);
  ~Kv68Cell() override;

  // Renders the record's expressions and builds the cell's intermediate record.
  void TranslateToIntermediate() override;
  std::string Describe() const override;
  // Builds the record fields and contents from the intermediate record.
  void TranslateFromIntermediate() override;
  // The record bytes, `cellLength` of them; empty for a terminator.
  std::string GetOutput() override;
  // Writes what GetOutput gives straight into `out`.
  void WriteTo(OutputStream& out) const;
  std::size_t GetOutputLength() const override { return cellLength_; }
  void ReleaseText() override;

  bool EndsList() const { return cellLength_ == 0; }
  std::uint8_t CellLength() const { return cellLength_; }
  std::uint16_t Offset() const { return offset_; }
  std::uint8_t Type() const { return type_; }
  // The record content: expression buffer after reading, record bytes before writing.
  const std::string& Data() const { return text; }
  // The formula text part, in the same two forms.
  const std::optional<std::string>& Data2() const { return data2_; }
  const std::array<std::uint8_t, 2>& ReferenceCount() const { return referenceCount_; }

 private:
  void Parse(InputStream& input);
  void WriteNumber(const std::string& value);
  void WriteText(const std::string& value);
  void WriteFormula(const std::optional<std::string>& formula);

  std::uint8_t cellLength_ = 0;
  std::uint16_t offset_ = 0;
  std::uint8_t type_ = 0;
  std::optional<std::string> data2_;
  std::array<std::uint8_t, 2> referenceCount_{};
  // Formula text bytes plus their terminating zero, when writing a formula.
  std::int16_t data2Length_ = 0;
};

}  // namespace tabulex
