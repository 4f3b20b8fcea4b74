#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "launch/LaunchMessage.h"
#include "camera/CameraDefinition.h"
#include "camera/CameraModes.h"
#include "optics/Attachments.h"
#include "optics/CalcState.h"
#include "optics/Display.h"
#include "planner/PlanSheet.h"
#include "planner/Planner.h"
#include "planner/Setup.h"

// The three subcommands of korvan-lens without their option parsing: each gathers texts, runs the
// core exactly as the calculator window does, and hands back the texts the window would show.
namespace korvan::cli {

// A command's value, or the one-line reason its input was refused (exit status 1).
template <typename T>
struct Outcome {
  std::optional<T> value;
  std::string refusal;

  static Outcome Refuse(std::string message) { return Outcome{std::nullopt, std::move(message)}; }
};

// What the user would have typed and chosen in the calculator window.
struct CalcOptions {
  std::optional<std::string> cameraFile;  // none: the built-in generic camera
  std::optional<CameraDefinition> camera;  // a setup's own copy, used when no file is given
  std::optional<std::string> frameRate;   // none: the first frame-rate entry
  std::optional<std::string> resolution;  // none: the first resolution at that rate
  int shutterMultiple = 1;
  ComputeMode computeMode = ComputeMode::FocalLength;
  LensInput lensInput = LensInput::FocalLength;
  std::string focalLength;
  std::string magnification;
  std::string fNumber = "1.0";
  std::string objectDistance;
  std::string fieldWidth;
  std::string velocity;
  LengthUnit unit = LengthUnit::Meters;
  Direction direction = Direction::Horizontal;
  AttachmentChoices attachments;
};

// Everything one calc run shows, all as the window's own texts, plus the state behind them.
struct CalcReport {
  std::string cameraName;
  std::string frameRate;   // the selected list entries
  std::string resolution;
  std::string shutter;
  std::string fNumber;     // the f-number text as given
  std::string status;
  std::string_view resultName;
  std::string_view resultUnit;
  UnitLabels units;
  ResultTexts boxes;
  ModeTexts modeTexts;
  AttachmentChoices attachmentChoices;
  AttachmentTexts attachments;
  CalcState state;
  double pixelPitchX = 0;
  double pixelPitchY = 0;
  CameraDefinition camera;  // the camera the set-up was computed with
};

Outcome<CalcReport> RunCalc(const CalcOptions& options);
nlohmann::ordered_json CalcJson(const CalcReport& report);
std::string CalcTable(const CalcReport& report);

// A camera file read as the window's load reads it. Every status but Loaded is a refusal, the
// mode-line fallback included: the command has no generic camera to fall back to.
Outcome<CameraDefinition> ReadCamera(const std::string& path);
nlohmann::ordered_json CameraJson(const CameraDefinition& camera);
std::string CameraTable(const CameraDefinition& camera);

// A camera file to write, as given on the command line: "W,H" micrometres and "R,W,H" modes.
struct NewCameraOptions {
  std::string name;
  std::string pixel;
  std::vector<std::string> modes;
  std::string output;
};

// Checks the camera as the camera editor does, writes the file and reads it back; the camera read
// back, or the first reason it could not be written.
Outcome<CameraDefinition> WriteNewCamera(const NewCameraOptions& options);

// A launch message as start-up parses it. A message the program ignores (too short, or without a
// comma) gives a request that is not valid; a message it would complain about is a refusal.
Outcome<HostLaunchRequest> ParseLaunch(std::string_view message);
nlohmann::ordered_json LaunchJson(const HostLaunchRequest& request);
std::string LaunchTable(const HostLaunchRequest& request);

nlohmann::ordered_json HostModelsJson();
std::string HostModelsTable();

// A calc set-up with the planner's own texts beside it.
struct PlanOptions {
  CalcOptions calc;
  planner::PlannerTexts planner;
  std::string lensFile;  // the kit's CSV (or plain list) file in place of --lenses; empty: none
};

// The set-up as calc computes it, then the plan for it. Planner texts that cannot be used are not
// refused: the values that need them are "n/a" with the reason, as in the planner window. A lens
// file that cannot be read is refused with the reason; its bad rows are skipped with notes.
Outcome<planner::Plan> RunPlan(const PlanOptions& options);
std::string PlanTable(const planner::Plan& plan);
// A plan's mode or kit table as `plan` prints it: the heading row first, then one row per mode or
// lens; and the reasons of its "n/a" and "none" cells, each once.
struct TableCells {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> reasons;
};
TableCells ModeTableCells(const planner::ModeTable& table, LengthUnit lengthUnit);
TableCells KitTableCells(const planner::LensKitTable& kit, LengthUnit lengthUnit);

enum class SheetFormat { Csv, Json, Pdf, Unknown };
// From the file name's extension, in any letter case.
SheetFormat SheetFormatOf(const std::string& path);

// The sheet's text in `format` (Csv or Json).
std::string SheetText(const planner::Plan& plan, const planner::SheetInfo& info, SheetFormat format);

// A double as JSON: finite values as numbers that read back bit-identical, the others as the
// strings "inf", "-inf" and "nan", which JSON has no numbers for.
nlohmann::ordered_json JsonNumber(double value);

// The JSON text with two-space indentation. Camera files are 8-bit text, so a name may not be
// valid UTF-8: such bytes become U+FFFD instead of aborting the output.
std::string DumpJson(const nlohmann::ordered_json& json);

// The setup of a plan: the options as given, the camera the plan was computed with (by the file it
// came from, if any) and the kit's lenses.
planner::Setup SetupOfPlan(std::vector<planner::SetupOption> options, const CalcReport& report,
                           const planner::Plan& plan, std::string note);
nlohmann::ordered_json SetupJson(const planner::Setup& setup);
std::string SetupTable(const planner::Setup& setup);

// Set-ups side by side: one column per file, from each one's `plan --json` object.
struct ComparedSetup {
  std::string file;
  nlohmann::json plan;
};
nlohmann::ordered_json CompareJson(const std::vector<ComparedSetup>& setups);
std::string CompareTable(const std::vector<ComparedSetup>& setups);

}  // namespace korvan::cli
