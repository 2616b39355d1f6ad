// Tab-delimited text sheets and cells: plain text files and the text exchanged with Excel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "converter/model/Spreadsheet.h"

namespace tabulex {

// The bytes a field must consist of to be read as a number.
inline constexpr std::string_view kNumericCharacters = "0123456789.-";
// A text cell keeps at most this many bytes of its text; the sheet says when it cut one.
inline constexpr std::size_t kMaxTextLength = 239;

class TextCell : public SpreadsheetCell {
 public:
  // A source cell holding the bytes of one field, without its separator.
  TextCell(ConversionContext& context, std::string_view field);
  // A target cell taking over the record of `owner`.
  TextCell(ConversionContext& context, SpreadsheetCell& owner);

  void TranslateToIntermediate() override;
  std::string Describe() const override;
  void TranslateFromIntermediate() override;
  // The field text followed by one tab. Final: sheets write FieldText and the tab directly.
  std::string GetOutput() final;
  // The field text GetOutput writes, without its tab.
  std::string_view FieldText() const { return text; }
  std::size_t GetOutputLength() const override { return text.size() + 1; }

  void SetPosition(std::int16_t newRow, std::int16_t newColumn) {
    row = newRow;
    column = newColumn;
  }

 protected:
  std::int16_t row = 0;
  std::int16_t column = 0;
};

class ExcelTextCell : public TextCell {
 public:
  using TextCell::TextCell;

  void TranslateToIntermediate() override;
  void TranslateFromIntermediate() override;
};

class TextSheet : public Spreadsheet {
 public:
  TextSheet(ConversionContext& context, const void* bytes, std::size_t count)
      : Spreadsheet(context, bytes, count), rowEnd(RowEndOf(bytes, count)) {}
  TextSheet(ConversionContext& context, Spreadsheet& sourceSheet)
      : Spreadsheet(context, sourceSheet), source(&sourceSheet) {}
  ~TextSheet() override;

  void TranslateToIntermediate() override;
  void TranslateFromIntermediate() override;
  // The output text followed by a terminating zero byte; the first GetOutputSize() bytes are
  // the file's content.
  std::string GetOutput() override;
  // The content of a text file after TranslateFromIntermediate.
  std::string FileText();
  // Behind the inherited operations, in this order: parses the whole input into cells.
  virtual void Initialise();
  // Serialises the cells into the output.
  virtual void WriteOutput();

 protected:
  virtual ArenaPtr<TextCell> MakeSourceCell(std::string_view field);
  virtual ArenaPtr<TextCell> MakeTargetCell(SpreadsheetCell& owner);

  Spreadsheet* source = nullptr;
  // The byte that ends a row: a carriage return, or a line feed in files that hold no carriage
  // return at all (as written on Linux).
  char rowEnd = '\r';

 private:
  static char RowEndOf(const void* bytes, std::size_t count);
};

class ExcelTextSheet : public TextSheet {
 public:
  using TextSheet::TextSheet;

  // The text handed to the spreadsheet engine: the file text with its terminating zero byte.
  std::string ExchangeText();

 protected:
  ArenaPtr<TextCell> MakeSourceCell(std::string_view field) override;
  ArenaPtr<TextCell> MakeTargetCell(SpreadsheetCell& owner) override;
};

}  // namespace tabulex
