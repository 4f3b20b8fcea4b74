#include <string>
#include <utility>
#include <vector>

#include "cli/Commands.h"
#include "cli/TextTable.h"
#include "optics/NumberText.h"
#include "planner/JsonText.h"

namespace korvan::cli {
namespace {

// One compared value: its label, the plan JSON's text at `path`, and the unit after it.
struct CompareRow {
  std::string_view label;
  std::vector<std::string_view> path;
  std::string_view unitPath;  // a results key holding the unit, or empty
  std::string_view unit;
};

const std::vector<CompareRow>& CompareRows() {
  static const std::vector<CompareRow> rows = {
      {"Camera", {"camera"}, {}, {}},
      {"Frame Rate", {"frameRate"}, {}, "fps"},
      {"Resolution", {"resolution"}, {}, {}},
      {"Shutter", {"shutter"}, {}, {}},
      {"Focal Length", {"results", "focalLength"}, {}, "mm"},
      {"Lens f/#", {"state", "fNumber"}, {}, {}},
      {"Object Distance", {"results", "objectDistance"}, "lengthUnit", {}},
      {"Field Width", {"results", "fieldWidth"}, "lengthUnit", {}},
      {"Depth of Field", {"results", "depthOfField"}, "lengthUnit", {}},
      {"Pixel Blur", {"results", "pixelBlur"}, {}, "pixels"},
      {"Total Blur", {"budget", "total", "text"}, {}, "pixels"},
      {"Light Headroom", {"light", "headroom", "text"}, {}, "stops"},
      // The recommended shutter and f-number when there is one, else why not ("n/a", "none").
      {"Recommended", {"envelope", "text"}, {}, {}},
  };
  return rows;
}

std::string TextAt(const nlohmann::json& plan, const std::vector<std::string_view>& path) {
  const nlohmann::json* node = &plan;
  for (std::string_view key : path) {
    if (!node->is_object()) return {};
    const auto found = node->find(std::string(key));
    if (found == node->end()) return {};
    node = &*found;
  }
  if (node->is_string()) return node->get<std::string>();
  if (node->is_number()) return FormatG4(node->get<double>());
  return {};
}

std::string UnitOf(const CompareRow& row, const nlohmann::json& plan) {
  if (row.unitPath.empty()) return std::string(row.unit);
  return TextAt(plan, {"results", row.unitPath});
}

}  // namespace

planner::Setup SetupOfPlan(std::vector<planner::SetupOption> options, const CalcReport& report,
                           const planner::Plan& plan, std::string note) {
  planner::Setup setup;
  setup.options = std::move(options);
  setup.camera = report.camera;
  // A camera given as a file is that file; one a setup carried keeps the file it came from, so
  // that a setup saved again while that file is missing still finds it once it is back.
  const std::string* file = setup.Find("camera");
  if (file != nullptr) setup.camera->filePath = *file;
  for (const planner::KitLens& lens : plan.inputs.kit) {
    setup.lenses.push_back({{{"focalLength", planner::ExactDoubleText(lens.focalLengthMm)}, {"name", lens.text}}});
  }
  setup.note = std::move(note);
  return setup;
}

nlohmann::ordered_json SetupJson(const planner::Setup& setup) {
  nlohmann::ordered_json json = nlohmann::ordered_json::parse(planner::SetupText(setup));
  json["commandLine"] = planner::SetupCommandLine(setup);
  return json;
}

std::string SetupTable(const planner::Setup& setup) {
  TextTable table;
  if (setup.camera) {
    table.Row("Camera", setup.camera->name);
    table.Row("Camera File", setup.camera->filePath);
    table.Row("Modes", FormatInt(static_cast<std::int64_t>(setup.camera->ModeCount())));
  }
  table.Row("Lenses", FormatInt(static_cast<std::int64_t>(setup.lenses.size())));
  if (!setup.note.empty()) table.Row("Note", setup.note);
  table.Blank();
  table.Heading("Options");
  for (const planner::SetupOption& option : setup.options) table.Row(option.name, option.value);
  return table.Render() + "\n" + planner::SetupCommandLine(setup) + "\n";
}

nlohmann::ordered_json CompareJson(const std::vector<ComparedSetup>& setups) {
  nlohmann::ordered_json columns = nlohmann::ordered_json::array();
  for (const ComparedSetup& setup : setups) {
    nlohmann::ordered_json column;
    column["file"] = setup.file;
    for (const CompareRow& row : CompareRows()) {
      nlohmann::ordered_json cell;
      cell["text"] = TextAt(setup.plan, row.path);
      cell["unit"] = UnitOf(row, setup.plan);
      column[std::string(row.label)] = std::move(cell);
    }
    columns.push_back(std::move(column));
  }
  nlohmann::ordered_json json;
  json["setups"] = std::move(columns);
  return json;
}

std::string CompareTable(const std::vector<ComparedSetup>& setups) {
  // Columns padded to their widest text, so that the set-ups line up under their file names.
  std::vector<std::vector<std::string>> cells;
  cells.push_back({""});
  for (const ComparedSetup& setup : setups) cells.front().push_back(setup.file);
  for (const CompareRow& row : CompareRows()) {
    std::vector<std::string> line{std::string(row.label)};
    for (const ComparedSetup& setup : setups) {
      std::string text = TextAt(setup.plan, row.path);
      const std::string unit = UnitOf(row, setup.plan);
      if (!unit.empty() && !text.empty() && text.rfind(planner::kNotAvailableText, 0) != 0) text += " " + unit;
      line.push_back(std::move(text));
    }
    cells.push_back(std::move(line));
  }
  std::vector<std::size_t> widths(setups.size() + 1, 0);
  for (const auto& line : cells) {
    for (std::size_t i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], line[i].size());
  }
  std::string out;
  for (const auto& line : cells) {
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
      text += line[i];
      if (i + 1 < line.size()) text += std::string(widths[i] - line[i].size() + 2, ' ');
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    out += text + '\n';
  }
  return out;
}

}  // namespace korvan::cli
