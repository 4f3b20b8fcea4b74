// The core's entry points for the page: JSON text in, JSON text out, through the command's own
// option parsing and printing, so that the page, a setup file and the command say the same.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "optics/NumberText.h"
#include "planner/Setup.h"
#include "web/SetupArguments.h"

namespace {

// What the last call returned; valid until the next call, which is all the caller needs to copy it.
std::string lastAnswer;
// The charts of the last plan, {} when it was refused.
std::string lastCharts = "{}";
// What the last command wrote to standard error: its notes, one a line.
std::string lastNotes;
// Where the page's whole setups are handed to the command, as a file is to `--setup`.
constexpr const char* kPageSetup = "/tmp/page.klsetup";

nlohmann::ordered_json SeriesJson(const korvan::planner::ChartSeries& series) {
  nlohmann::ordered_json points = nlohmann::ordered_json::array();
  for (const korvan::planner::ChartPoint& point : series.points) {
    points.push_back({korvan::cli::JsonNumber(point.x), korvan::cli::JsonNumber(point.y)});
  }
  return {{"name", series.name}, {"points", std::move(points)}};
}

nlohmann::ordered_json ChartsJson(const korvan::planner::PlanCharts& charts) {
  nlohmann::ordered_json json;
  json["lengthUnit"] = charts.lengthUnit;
  json["nearFocus"] = SeriesJson(charts.nearFocus);
  json["farFocus"] = SeriesJson(charts.farFocus);
  json["motion"] = SeriesJson(charts.motion);
  json["defocus"] = SeriesJson(charts.defocus);
  json["diffraction"] = SeriesJson(charts.diffraction);
  json["total"] = SeriesJson(charts.total);
  json["optimumFNumber"] = charts.optimumFNumber ? korvan::cli::JsonNumber(*charts.optimumFNumber)
                                                 : nlohmann::ordered_json(nullptr);
  json["pixelBlurByShutter"] = SeriesJson(charts.pixelBlurByShutter);
  json["blurLimit"] = korvan::cli::JsonNumber(charts.blurLimit);
  nlohmann::ordered_json fields = nlohmann::ordered_json::array();
  for (const auto& series : charts.fieldByDistance) fields.push_back(SeriesJson(series));
  json["fieldByDistance"] = std::move(fields);
  return json;
}

// The side view's figures as the planner window draws them: lengths in metres for the drawing,
// their texts with the unit for the labels, and why nothing is drawn.
nlohmann::ordered_json SideViewJson(const korvan::planner::Plan& plan) {
  const korvan::planner::SideView view = korvan::planner::SideViewOf(plan);
  nlohmann::ordered_json json;
  json["valid"] = view.valid;
  json["distance"] = korvan::cli::JsonNumber(view.distance);
  json["fieldWidth"] = korvan::cli::JsonNumber(view.fieldWidth);
  json["nearFocus"] = korvan::cli::JsonNumber(view.nearFocus);
  json["farFocus"] = korvan::cli::JsonNumber(view.farFocus);
  json["subjectDepth"] = korvan::cli::JsonNumber(view.subjectDepth);
  json["distanceText"] = view.distanceText;
  json["fieldWidthText"] = view.fieldWidthText;
  json["nearText"] = view.nearText;
  json["farText"] = view.farText;
  json["angleText"] = view.angleText;
  json["emptyText"] = view.emptyText;
  return json;
}

// What the envelope chart and its Use button need beyond the plan's grid: the f-number list's
// texts, and the cells of the setting in force and the recommended one as grid positions with
// the texts the shutter and f-number boxes take.
nlohmann::ordered_json EnvelopeExtrasJson(const korvan::planner::Envelope& envelope) {
  nlohmann::ordered_json json;
  json["fNumberTexts"] = envelope.fNumberTexts;
  const std::size_t rows = envelope.fNumbers.size();
  const auto cell = [&](const std::optional<std::size_t>& index) {
    if (!index || rows == 0 || *index >= envelope.cells.size()) return nlohmann::ordered_json(nullptr);
    nlohmann::ordered_json at;
    at["shutterIndex"] = *index / rows;
    at["fNumberIndex"] = *index % rows;
    at["shutter"] = korvan::FormatInt(envelope.cells[*index].shutter);
    at["fNumber"] = envelope.fNumberTexts[*index % rows];
    return at;
  };
  json["inForce"] = cell(envelope.inForce);
  json["recommended"] = envelope.recommended ? cell(envelope.recommended->cell) : nlohmann::ordered_json(nullptr);
  return json;
}

// A plan table as the command prints it: headings, rows of cell texts, and the reasons of its
// "n/a" cells.
nlohmann::ordered_json TableJson(const korvan::cli::TableCells& cells) {
  nlohmann::ordered_json json;
  json["headings"] = cells.rows.front();
  json["rows"] = nlohmann::ordered_json(std::vector<std::vector<std::string>>(cells.rows.begin() + 1, cells.rows.end()));
  json["reasons"] = cells.reasons;
  return json;
}

std::string PageChartsJson(const korvan::planner::Plan& plan) {
  nlohmann::ordered_json json = ChartsJson(plan.charts);
  json["modeTable"] = TableJson(korvan::cli::ModeTableCells(plan.modes, plan.state.unit));
  json["kitTable"] = TableJson(korvan::cli::KitTableCells(plan.kit, plan.state.unit));
  json["sideView"] = SideViewJson(plan);
  json["envelope"] = EnvelopeExtrasJson(plan.envelope);
  return korvan::cli::DumpJson(json);
}

const char* Answer(std::string text) {
  lastAnswer = std::move(text);
  return lastAnswer.c_str();
}

std::string ErrorText(const std::string& message) {
  nlohmann::ordered_json error;
  error["error"] = message;
  return korvan::cli::DumpJson(error) + '\n';
}

// One korvan-lens command line's standard output; its error as JSON when it failed and printed
// nothing there.
std::string RunCommand(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv{"korvan-lens"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  std::ostringstream out;
  std::ostringstream err;
  lastCharts = "{}";
  const int status = korvan::cli::Run(static_cast<int>(argv.size()), argv.data(), out, err,
                                      [](const korvan::planner::Plan& plan) { lastCharts = PageChartsJson(plan); });
  lastNotes = err.str();
  if (status != korvan::cli::kExitOk && out.str().empty()) {
    std::string message = err.str();
    while (!message.empty() && message.back() == '\n') message.pop_back();
    return ErrorText(message);
  }
  return out.str();
}

void WriteFile(const std::string& path, const char* bytes, int length) {
  const std::filesystem::path file(path);
  std::error_code ignored;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes, length < 0 ? 0 : length);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A setup that carries more than options (its own camera) goes to the command whole, through the
// setup reader, as `--setup FILE` does; options alone become the command line they stand for.
bool CarriesMoreThanOptions(const char* setupJson) {
  const nlohmann::json setup = nlohmann::json::parse(setupJson, nullptr, false);
  return setup.is_object() && setup.contains("camera");
}

}  // namespace

extern "C" {

// A setup ({"options": {...}, ...}) in; the plan's JSON, or {"error": ...}, out.
const char* korvan_plan(const char* setupJson) {
  if (CarriesMoreThanOptions(setupJson)) {
    const std::string_view text(setupJson);
    WriteFile(kPageSetup, text.data(), static_cast<int>(text.size()));
    return Answer(RunCommand({"plan", std::string("--setup=") + kPageSetup, "--json"}));
  }
  const korvan::web::SetupArguments setup = korvan::web::PlanArguments(setupJson);
  if (!setup.error.empty()) return Answer(ErrorText(setup.error));
  return Answer(RunCommand(setup.arguments));
}

// A camera file's bytes, stored under `path` so that a setup's "camera" option can name it; the
// camera's JSON, or {"error": ...} with the reason the file does not read, out. Bytes rather than
// a text: a camera file is 8-bit text, not necessarily UTF-8.
const char* korvan_camera(const char* path, const char* bytes, int length) {
  WriteFile(path, bytes, length);
  // What `camera FILE --json` prints, without building its option parser for every file.
  const korvan::cli::Outcome<korvan::CameraDefinition> read = korvan::cli::ReadCamera(path);
  if (!read.value) return Answer(ErrorText(read.refusal));
  return Answer(korvan::cli::DumpJson(korvan::cli::CameraJson(*read.value)) + '\n');
}

// The setup sheet of a setup, as `sheet -o FILE` writes it: `format` "csv" or "json"; the sheet's
// text, or {"error": ...}.
const char* korvan_sheet(const char* setupJson, const char* format) {
  korvan::web::SetupArguments setup = korvan::web::PlanArguments(setupJson);
  if (!setup.error.empty()) return Answer(ErrorText(setup.error));
  const std::string file = std::string("/tmp/sheet.") + (std::string_view(format) == "json" ? "json" : "csv");
  setup.arguments[0] = "sheet";
  setup.arguments.push_back("--output=" + file);
  const std::string answer = RunCommand(setup.arguments);
  if (!answer.empty()) return Answer(answer);  // the refusal
  return Answer(ReadFile(file));
}

// The charts' series of the last plan: lengths in its unit, x and y pairs; the side view's figures
// and the envelope's cells in force and recommended.
const char* korvan_charts() { return lastCharts.c_str(); }

// The notes the last plan wrote beside its answer (numbers read by their leading digits, a setup's
// camera taken from its own copy), one a line.
const char* korvan_notes() { return lastNotes.c_str(); }

// A setup file's bytes, stored under `path` and read by the setup reader as `--setup` reads it:
// {"setup": the setup as the reader understood it, "camera": the camera it brings as
// `camera --json` shows one (null for the generic camera), "cameraFile": the camera file used in
// its place when that file is here and the same camera, "notice": why the setup's own copy is
// used, "notes": what was left out}; or {"error": ...}.
const char* korvan_open_setup(const char* path, const char* bytes, int length) {
  WriteFile(path, bytes, length);
  const korvan::planner::SetupReading reading = korvan::planner::ReadSetupFile(path);
  if (!reading.setup) return Answer(ErrorText(reading.error));
  const korvan::planner::Setup& setup = *reading.setup;
  nlohmann::ordered_json json;
  json["setup"] = nlohmann::ordered_json::parse(korvan::planner::SetupText(setup));
  json["camera"] = nullptr;
  json["cameraFile"] = nullptr;
  json["notice"] = "";
  if (setup.camera) {
    const korvan::planner::SetupCamera camera = korvan::planner::ResolveSetupCamera(setup);
    if (camera.source == korvan::planner::SetupCamera::Source::File) json["cameraFile"] = camera.path;
    if (camera.source != korvan::planner::SetupCamera::Source::Generic) {
      json["camera"] = korvan::cli::CameraJson(*setup.camera);
    }
    json["notice"] = camera.notice;
  }
  json["notes"] = reading.notes;
  return Answer(korvan::cli::DumpJson(json) + '\n');
}

// The setup file `setup save` writes for a setup: its options, the camera in force (the setup's
// own copy, or the file's) and the kit's lenses; or {"error": ...}.
const char* korvan_save_setup(const char* setupJson) {
  const std::string_view text(setupJson);
  WriteFile(kPageSetup, text.data(), static_cast<int>(text.size()));
  const std::string file = "/tmp/saved.klsetup";
  std::filesystem::remove(file);
  const std::string answer =
      RunCommand({"setup", "save", std::string("--setup=") + kPageSetup, "--json", "-o", file});
  if (!answer.empty()) return Answer(answer);
  return Answer(ReadFile(file));
}

}  // extern "C"
