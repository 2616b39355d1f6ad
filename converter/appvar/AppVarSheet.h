// The sheet and cell classes of the KV-52 Plus spreadsheet application variable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "converter/model/ByteStream.h"
#include "converter/model/ConversionContext.h"
#include "converter/model/Spreadsheet.h"

namespace tabulex {

// Layout of the variable data image.
inline constexpr std::size_t kAppVarHeaderSize = 194;
inline constexpr std::size_t kAppVarNameOffset = 6;
inline constexpr std::size_t kAppVarNameSize = 8;
inline constexpr std::size_t kAppVarFillerSize = 13;
inline constexpr std::uint32_t kAppVarSheetSignature = 0xAABF47F3u;
// Cells are taken while the data size is below this many bytes.
inline constexpr std::size_t kAppVarDataLimit = 22528;
// The most token bytes a string (quote token included) or a formula may hold.
inline constexpr std::size_t kAppVarMaxTokens = 40;

// Record types (the low two bits of a record's type byte).
inline constexpr std::uint8_t kAppVarNumber = 0;
inline constexpr std::uint8_t kAppVarString = 1;
inline constexpr std::uint8_t kAppVarInvalid = 2;
inline constexpr std::uint8_t kAppVarFormula = 3;

// One cell record of the image. A record length of 0 marks the end of the cell list.
class AppVarCell : public SpreadsheetCell {
 public:
  // Reads one record from `stream`. A record that does not fit in the remaining bytes, or whose
  // length is too short for its type, reads as the end marker (length 0).
  AppVarCell(ConversionContext& context, InputStream& stream);
  // A target cell taking over the record of `source`.
  AppVarCell(ConversionContext& context, SpreadsheetCell& source);

  void TranslateToIntermediate() override;
  std::string Describe() const override;
  void TranslateFromIntermediate() override;
  // The record bytes; empty for the end marker. Sets the length to the bytes produced.
  std::string GetOutput() override;
  std::size_t GetOutputLength() const override { return length; }
  void ReleaseText() override;

  std::uint8_t Length() const { return length; }
  std::int16_t Offset() const { return offset; }
  std::uint8_t Type() const { return type; }
  std::int16_t TokenLength() const { return tokenLength; }
  const std::optional<std::string>& Data2() const { return data2; }
  const std::optional<std::string>& ReferenceCount() const { return referenceCount; }

 private:
  void NumberFromIntermediate(std::string_view value);
  void StringFromIntermediate();
  void FormulaFromIntermediate();

  std::uint8_t length = 0;
  // (column - 1) * 1000 + row, in host order.
  std::int16_t offset = 0;
  std::uint8_t type = 0;
  // Formula token bytes.
  std::optional<std::string> data2;
  // The record's last four bytes as read.
  std::optional<std::string> referenceCount;
  // String token bytes (in `text`) or formula token bytes (in `data2`) to write.
  std::int16_t tokenLength = 0;
};

class AppVarSheet : public Spreadsheet {
 public:
  // Reading: parses the image in `bytes` at once and translates every cell. `size` bounds the
  // data; the reader takes the extent of the cell list from the records themselves.
  AppVarSheet(ConversionContext& context, const void* bytes, std::size_t size);
  // Converting: one AppVarCell per cell of `source`, in list order.
  AppVarSheet(ConversionContext& context, Spreadsheet& source);
  ~AppVarSheet() override;

  // Stores the device-valid variable name: upper case, at most 8 characters, each one a digit
  // or a letter.
  void SetDeviceName(std::string_view deviceName) override;

  void TranslateToIntermediate() override;
  std::string Describe() const override;
  void TranslateFromIntermediate() override;
  // A copy of the whole image followed by one extra zero byte.
  std::string GetOutput() override;
  // The image behind its length field and signature, which the variable-file component writes
  // itself (the signature as the tag), extra zero byte included.
  std::string VariableData() override;
  VarTag ComponentTag() const override { return kAppVarSheetSignature; }

  const std::optional<std::string>& FillerBlock() const { return fillerBlock; }

 private:
  void Parse();

  // Image bytes 16 to 28 as read.
  std::optional<std::string> fillerBlock;
};

}  // namespace tabulex
