// A source sheet for tests, built directly from intermediate records.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "converter/model/Spreadsheet.h"

namespace tabulex::testing {

struct RecordFields {
  std::int16_t row;
  std::int16_t column;
  std::uint16_t type;
  std::optional<std::string> value;
  std::optional<std::string> formula;
};

class RecordCell : public SpreadsheetCell {
 public:
  RecordCell(ConversionContext& context, const RecordFields& fields) : SpreadsheetCell(context) {
    CellData& r = CreateRecord(fields.row, fields.column);
    r.type = fields.type;
    r.value = fields.value;
    r.formula = fields.formula;
  }
  void TranslateToIntermediate() override {}
  void TranslateFromIntermediate() override {}
  std::string GetOutput() override { return {}; }
};

class RecordSheet : public Spreadsheet {
 public:
  RecordSheet(ConversionContext& context, const std::vector<RecordFields>& records,
              std::optional<std::string> sheetName = std::string("SHEET"),
              std::uint16_t source = SOURCE_TEXT)
      : Spreadsheet(context, nullptr, 0) {
    NewCellList();
    for (const RecordFields& fields : records) cells->Append(MakeCell<RecordCell>(context, fields));
    name = std::move(sheetName);
    CreateHeader(source);
  }
  ~RecordSheet() override { DestroyCells(); }

  // Appends one more cell.
  RecordSheet& Add(int row, int column, std::uint16_t type, std::optional<std::string> value,
                   std::optional<std::string> formula = std::nullopt) {
    cells->Append(MakeCell<RecordCell>(
        Context(), RecordFields{static_cast<std::int16_t>(row), static_cast<std::int16_t>(column),
                                type, std::move(value), std::move(formula)}));
    return *this;
  }
  void TranslateToIntermediate() override {}
  void TranslateFromIntermediate() override {}
  std::string GetOutput() override { return {}; }
};

}  // namespace tabulex::testing
