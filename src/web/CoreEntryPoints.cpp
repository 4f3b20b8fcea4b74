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
#include "web/SetupArguments.h"

namespace {

// What the last call returned; valid until the next call, which is all the caller needs to copy it.
std::string lastAnswer;
// The charts of the last plan, {} when it was refused.
std::string lastCharts = "{}";

nlohmann::ordered_json SeriesJson(const korvan::planner::ChartSeries& series) {
  nlohmann::ordered_json points = nlohmann::ordered_json::array();
  for (const korvan::planner::ChartPoint& point : series.points) {
    points.push_back({korvan::cli::JsonNumber(point.x), korvan::cli::JsonNumber(point.y)});
  }
  return {{"name", series.name}, {"points", std::move(points)}};
}

std::string ChartsJson(const korvan::planner::PlanCharts& charts) {
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
                                      [](const korvan::planner::Plan& plan) { lastCharts = ChartsJson(plan.charts); });
  if (status != korvan::cli::kExitOk && out.str().empty()) {
    std::string message = err.str();
    while (!message.empty() && message.back() == '\n') message.pop_back();
    return ErrorText(message);
  }
  return out.str();
}

}  // namespace

extern "C" {

// A setup ({"options": {...}, ...}) in; the plan's JSON, or {"error": ...}, out.
const char* korvan_plan(const char* setupJson) {
  const korvan::web::SetupArguments setup = korvan::web::PlanArguments(setupJson);
  if (!setup.error.empty()) return Answer(ErrorText(setup.error));
  return Answer(RunCommand(setup.arguments));
}

// A camera file's bytes, stored under `path` so that a setup's "camera" option can name it; the
// camera's JSON, or {"error": ...} with the reason the file does not read, out. Bytes rather than
// a text: a camera file is 8-bit text, not necessarily UTF-8.
const char* korvan_camera(const char* path, const char* bytes, int length) {
  const std::filesystem::path file(path);
  std::error_code ignored;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes, length < 0 ? 0 : length);
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
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return Answer(text.str());
}

// The charts' series of the last plan: lengths in its unit, x and y pairs.
const char* korvan_charts() { return lastCharts.c_str(); }

}  // extern "C"
