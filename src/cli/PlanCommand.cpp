#include <algorithm>
#include <cctype>

#include "cli/Commands.h"
#include "cli/TextTable.h"
#include "optics/NumberText.h"
#include "optics/Units.h"

namespace korvan::cli {
namespace {

using planner::Column;
using planner::PlanNumber;

// Columns padded to their widest cell, two blanks apart; rows never end in blanks.
std::string Columns(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) line.append(widths[c - 1] - row[c - 1].size() + 2, ' ');
      line += row[c];
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + '\n';
  }
  return out;
}

std::string Heading(const Column& column, LengthUnit lengthUnit) {
  if (column.unit.empty()) return std::string(column.heading);
  return std::string(column.heading) + " (" + std::string(planner::ColumnUnit(column, lengthUnit)) + ")";
}

// The reasons of a table's "n/a" and "none" cells, each once, below the table.
void Remember(std::vector<std::string>& reasons, const PlanNumber& number) {
  if (number.reason.empty()) return;
  if (std::find(reasons.begin(), reasons.end(), number.reason) == reasons.end()) reasons.push_back(number.reason);
}

std::string Reasons(const std::vector<std::string>& reasons) {
  std::string out;
  for (const std::string& reason : reasons) out += "  - " + reason + '\n';
  return out;
}

std::string ModeTableText(const planner::ModeTable& table, LengthUnit lengthUnit) {
  const TableCells cells = ModeTableCells(table, lengthUnit);
  return Columns(cells.rows) + Reasons(cells.reasons);
}

std::string KitTableText(const planner::LensKitTable& kit, LengthUnit lengthUnit) {
  std::string out;
  if (!kit.rows.empty()) {
    const TableCells cells = KitTableCells(kit, lengthUnit);
    out += Columns(cells.rows) + Reasons(cells.reasons);
  } else {
    out += "No lenses given (--lenses \"8, 12.5, 16\")\n";
  }
  for (const std::string& note : kit.notes) out += "  " + note + '\n';
  return out;
}

// The envelope as a grid of marks: f-numbers up, shutter multiples across.
std::string EnvelopeGrid(const planner::Envelope& envelope) {
  if (envelope.cells.empty()) return {};
  std::vector<std::vector<std::string>> rows;
  for (std::size_t i = envelope.fNumbers.size(); i-- > 0;) {
    std::vector<std::string> cells = {"f/" + envelope.fNumberTexts[i]};
    for (std::size_t n = 0; n < static_cast<std::size_t>(envelope.shutters); ++n) {
      const planner::EnvelopeCell& cell = envelope.At(n, i);
      const bool works = cell.sharp && (cell.bright || !envelope.withLight);
      std::string mark = works ? "+" : cell.sharp ? "s" : cell.bright ? "b" : ".";
      if (envelope.inForce && &cell == &envelope.cells[*envelope.inForce]) mark = "[" + mark + "]";
      cells.push_back(std::move(mark));
    }
    rows.push_back(std::move(cells));
  }
  std::vector<std::string> axis = {""};
  for (std::int32_t n = 1; n <= envelope.shutters; ++n) axis.push_back(FormatInt(n));
  rows.push_back(std::move(axis));
  std::string legend = envelope.withLight ? "  + sharp and bright, s sharp only, b bright only, . neither"
                                          : "  + sharp, . not sharp (no light figures: " + envelope.lightReason + ")";
  return Columns(rows) + legend + "; [ ] the setting in force; shutter multiple across\n";
}

}  // namespace

TableCells ModeTableCells(const planner::ModeTable& table, LengthUnit lengthUnit) {
  TableCells out;
  out.rows.emplace_back();
  for (const Column& column : planner::kModeColumns) {
    if (column.heading == "Record Time" && !table.showRecordTime) continue;
    if (column.heading == "Light Needed" && !table.showLight) continue;
    out.rows[0].push_back(Heading(column, lengthUnit));
  }
  for (std::size_t i = 0; i < table.size(); ++i) {
    const planner::ModeRow row = table.Row(i);
    std::vector<std::string> cells = {row.frameRate.text,   row.resolution,         row.fieldWidth.text,
                                      row.fieldPerPixel.text, row.exposureUs.text,  row.pixelBlur.text,
                                      row.shutterLimit.text,  row.eventFrames.text, row.crossingFrames.text};
    for (const PlanNumber* n : {&row.fieldWidth, &row.fieldPerPixel, &row.exposureUs, &row.pixelBlur,
                                &row.shutterLimit, &row.eventFrames, &row.crossingFrames}) {
      Remember(out.reasons, *n);
    }
    if (table.showRecordTime) {
      cells.push_back(row.recordTime.text);
      Remember(out.reasons, row.recordTime);
    }
    if (table.showLight) {
      cells.push_back(row.lightNeeded.text);
      Remember(out.reasons, row.lightNeeded);
    }
    cells.push_back(row.inForce ? "*" : "");
    out.rows.push_back(std::move(cells));
  }
  return out;
}

TableCells KitTableCells(const planner::LensKitTable& kit, LengthUnit lengthUnit) {
  TableCells out;
  // A kit of records has names and limits to check; a list of focal lengths has neither.
  const bool named = std::any_of(kit.rows.begin(), kit.rows.end(), [](const planner::KitRow& row) { return !row.lens.name.empty(); });
  const bool checked = std::any_of(kit.rows.begin(), kit.rows.end(), [](const planner::KitRow& row) { return !row.checks.words.empty(); });
  out.rows.emplace_back();
  if (named) out.rows[0].push_back("Name");
  for (const Column& column : planner::kKitColumns) out.rows[0].push_back(Heading(column, lengthUnit));
  out.rows[0].push_back("Covers Best");
  if (checked) out.rows[0].push_back("Checks");
  for (const planner::KitRow& row : kit.rows) {
    std::vector<std::string> cells;
    if (named) cells.push_back(row.lens.name);
    for (const PlanNumber* n : {&row.focalLength, &row.fieldWidth, &row.fieldAngle, &row.depthOfField,
                                &row.nearFocus, &row.farFocus, &row.pixelBlur, &row.distanceForField}) {
      cells.push_back(n->text);
      Remember(out.reasons, *n);
    }
    cells.push_back(row.marked ? "*" : "");
    if (checked) cells.push_back(row.checks.words);
    out.rows.push_back(std::move(cells));
  }
  return out;
}

Outcome<planner::Plan> RunPlan(const PlanOptions& options) {
  Outcome<CalcReport> calc = RunCalc(options.calc);
  if (!calc.value) return Outcome<planner::Plan>::Refuse(calc.refusal);
  const CalcReport& report = *calc.value;
  planner::PlannerInputs inputs = planner::ReadPlannerInputs(options.planner, report.state.unit);
  if (!options.lensFile.empty()) {
    planner::LensKitRead kit = planner::ReadLensKitFile(options.lensFile);
    if (!kit.problem.empty()) return Outcome<planner::Plan>::Refuse(kit.problem);
    inputs.kit = std::move(kit.lenses);
    inputs.kitNotes = std::move(kit.notes);
  }
  return {planner::ComputePlan(report.state, report.camera, inputs, options.calc.attachments), {}};
}

std::string PlanTable(const planner::Plan& plan) {
  const LengthUnit length = plan.state.unit;
  TextTable table;
  table.Row("Camera", plan.cameraName);
  table.Row("Frame Rate", plan.frameRate);
  table.Row("Shutter", plan.shutter);
  table.Row("Resolution", plan.resolution);
  table.Row("Planned With", plan.attachmentsIncluded.empty() ? "the bare lens" : plan.attachmentsIncluded);
  if (!plan.prerequisite.empty()) table.Row("Planner", "n/a (" + plan.prerequisite + ")");
  // The sheet's own rows for the planner's groups, so that both say the same.
  std::string section;
  for (const planner::SheetRow& row : planner::MakeSheetRows(plan, {})) {
    if (row.section != "Planner" && row.section != "Sharpness Budget" && row.section != "Best f-Number" &&
        row.section != "Shutter Limit" && row.section != "Light" && row.section != "Shooting Envelope") {
      continue;
    }
    // The Shutter row above already gives the exposure in force.
    if (row.key == "light.exposure") continue;
    if (row.section != section) {
      table.Blank();
      table.Heading(row.section);
      section = row.section;
    }
    const bool shown = row.text.rfind(planner::kNotAvailableText, 0) != 0 && row.text.rfind(planner::kNoneText, 0) != 0;
    table.Row(row.label, row.text, shown ? row.unit : std::string());
  }
  std::string out = table.Render();
  out += EnvelopeGrid(plan.envelope);
  out += "\nCamera Modes (* in force)\n" + ModeTableText(plan.modes, length);
  out += "\nLens Kit (* the smallest field that covers the field width)\n" + KitTableText(plan.kit, length);
  return out;
}

SheetFormat SheetFormatOf(const std::string& path) {
  const std::size_t dot = path.find_last_of("./\\");
  if (dot == std::string::npos || path[dot] != '.') return SheetFormat::Unknown;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "csv") return SheetFormat::Csv;
  if (extension == "json") return SheetFormat::Json;
  if (extension == "pdf") return SheetFormat::Pdf;
  return SheetFormat::Unknown;
}

std::string SheetText(const planner::Plan& plan, const planner::SheetInfo& info, SheetFormat format) {
  if (format == SheetFormat::Json) return planner::SheetJson(plan, info) + '\n';
  return planner::SheetCsv(planner::MakeSheetRows(plan, info));
}

}  // namespace korvan::cli
