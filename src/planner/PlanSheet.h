#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "planner/JsonText.h"
#include "planner/Planner.h"

// The setup sheet: everything a shoot log needs, as rows and as the CSV and JSON files written
// from them. The window adds its PDF form from the same rows.
namespace korvan::planner {

inline constexpr int kSheetVersion = 1;

struct SheetInfo {
  std::string dateTime;  // as SheetDateTime gives it
  std::string note;      // free text, any bytes
};

struct SheetRow {
  std::string section;  // "Camera", "Lens", ... for the printed sheet's groups
  std::string key;      // lowerCamelCase, unique on a sheet: "budget.motion"
  std::string label;    // as printed: "Motion Blur"
  std::string value;    // the exact double (shortest text that reads back bit-identical) or the raw text
  std::string unit;
  std::string text;     // as shown; "n/a (reason)" where not available
};

std::vector<SheetRow> MakeSheetRows(const Plan& plan, const SheetInfo& info);

// "key,value,unit,text" and one line per row, fields quoted where they hold a comma, quote or line break.
std::string SheetCsv(const std::vector<SheetRow>& rows);

// The plan as `korvan-lens plan --json` prints it: one object, two-space indentation.
std::string PlanJson(const Plan& plan);

// A value as JSON: in SI units, null where there is no number, its reason beside its text.
JsonText Json(const PlanNumber& number);

// PlanJson's object with "dateTime", "note" and "sheetVersion" added.
std::string SheetJson(const Plan& plan, const SheetInfo& info);

// "2026-12-07 11:40:05", local time.
std::string SheetDateTime(std::time_t when);

}  // namespace korvan::planner
