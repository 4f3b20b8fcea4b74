#include <algorithm>
#include <cctype>

#include "camera/CameraModes.h"
#include "cli/Commands.h"
#include "cli/TextTable.h"
#include "optics/ComputeModes.h"
#include "optics/Engine.h"
#include "optics/NumberText.h"
#include "optics/Units.h"

namespace korvan::cli {
namespace {

std::string JoinEntries(const std::vector<std::string>& entries) {
  std::string joined;
  for (const std::string& entry : entries) {
    if (!joined.empty()) joined += ", ";
    joined += entry;
  }
  return joined;
}

// "640x512", "640 x 512" and "640 X 512" all name the list entry "640 x 512": compare without
// blanks and regardless of the letter case of the x.
std::string Squeezed(std::string_view text) {
  std::string squeezed;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    squeezed += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return squeezed;
}

// The camera's modes as the window's three lists select them.
struct Selection {
  std::string frameRate;
  std::string resolution;
  std::string shutter;
  std::size_t mode = 0;
};

Outcome<Selection> SelectMode(const CameraDefinition& camera, const CalcOptions& options) {
  const std::vector<std::string> rates = FrameRateEntries(camera);
  if (rates.empty()) return Outcome<Selection>::Refuse("The camera " + camera.name + " offers no frame rate.");

  Selection selection;
  selection.frameRate = rates.front();
  if (options.frameRate) {
    if (std::find(rates.begin(), rates.end(), *options.frameRate) == rates.end()) {
      return Outcome<Selection>::Refuse("Frame rate " + *options.frameRate + " is not offered by " + camera.name +
                                        "; it offers " + JoinEntries(rates) + ".");
    }
    selection.frameRate = *options.frameRate;
  }

  // The window lists the image sizes of the rate that the selected entry stands for.
  const std::optional<std::size_t> firstAtRate = FindCurrentMode(camera, selection.frameRate, {});
  if (!firstAtRate) {
    return Outcome<Selection>::Refuse("Frame rate " + selection.frameRate + " has no mode in " + camera.name + ".");
  }
  const std::uint32_t rate = camera.frameRates[*firstAtRate];
  const ResolutionList resolutions = BuildResolutionList(camera, rate, std::nullopt);
  if (resolutions.entries.empty()) {
    return Outcome<Selection>::Refuse("Frame rate " + selection.frameRate + " has no resolution in " + camera.name +
                                      ".");
  }
  selection.resolution = resolutions.entries.front();
  if (options.resolution) {
    const std::string wanted = Squeezed(*options.resolution);
    const auto found = std::find_if(resolutions.entries.begin(), resolutions.entries.end(),
                                    [&](const std::string& entry) { return Squeezed(entry) == wanted; });
    if (wanted.empty() || found == resolutions.entries.end()) {
      return Outcome<Selection>::Refuse("Resolution " + *options.resolution + " is not offered at frame rate " +
                                        selection.frameRate + " by " + camera.name + "; it offers " +
                                        JoinEntries(resolutions.entries) + ".");
    }
    selection.resolution = *found;
  }

  const std::optional<std::size_t> mode = FindCurrentMode(camera, selection.frameRate, selection.resolution);
  if (!mode) {
    return Outcome<Selection>::Refuse("Resolution " + selection.resolution + " has no mode in " + camera.name + ".");
  }
  selection.mode = *mode;

  const std::vector<std::string> shutters = ShutterEntries(rate);
  if (options.shutterMultiple < 1 || static_cast<std::size_t>(options.shutterMultiple) > shutters.size()) {
    return Outcome<Selection>::Refuse("Shutter multiple " + FormatInt(options.shutterMultiple) +
                                      " is not in the shutter list.");
  }
  selection.shutter = shutters[static_cast<std::size_t>(options.shutterMultiple - 1)];
  return {selection, {}};
}

std::string_view ChoiceText(bool on, int index, const auto& items) {
  if (!on || index < 0 || static_cast<std::size_t>(index) >= items.size()) return items.front();
  return items[static_cast<std::size_t>(index)];
}

}  // namespace

Outcome<CalcReport> RunCalc(const CalcOptions& options) {
  CameraDefinition camera;
  if (options.cameraFile) {
    Outcome<CameraDefinition> read = ReadCamera(*options.cameraFile);
    if (!read.value) return Outcome<CalcReport>::Refuse(read.refusal);
    camera = std::move(*read.value);
  } else if (options.camera) {
    camera = *options.camera;
  } else {
    camera = BuildGenericCamera();
  }

  Outcome<Selection> selected = SelectMode(camera, options);
  if (!selected.value) return Outcome<CalcReport>::Refuse(selected.refusal);
  const Selection& selection = *selected.value;

  CalcReport report;
  report.cameraName = camera.name;
  report.frameRate = selection.frameRate;
  report.resolution = selection.resolution;
  report.shutter = selection.shutter;
  report.fNumber = options.fNumber;
  report.pixelPitchX = camera.pixelPitchX;
  report.pixelPitchY = camera.pixelPitchY;

  // The frame-rate change sets the image size before it recalculates.
  CalcState& state = report.state;
  state.sensorWidthPx = PixelCountAsInt(camera.widthsPx[selection.mode]);
  state.sensorHeightPx = PixelCountAsInt(camera.heightsPx[selection.mode]);

  InputTexts inputs;
  inputs.computeMode = options.computeMode;
  inputs.direction = options.direction;
  // The window turns the focal-length radio button on and disables the other in this mode.
  inputs.lensInput =
      options.computeMode == ComputeMode::ObjectDistance ? LensInput::FocalLength : options.lensInput;
  inputs.unit = options.unit;
  inputs.frameRate = selection.frameRate;
  inputs.shutter = selection.shutter;
  inputs.focalLength = options.focalLength;
  inputs.magnification = options.magnification;
  inputs.fNumber = options.fNumber;
  inputs.objectDistance = options.objectDistance;
  inputs.fieldWidth = options.fieldWidth;
  inputs.velocity = options.velocity;

  ReadInputs(inputs, state);
  ComputeGeometry(state, camera.pixelPitchX, camera.pixelPitchY);
  ComputeBlur(state, camera.pixelPitchX, camera.pixelPitchY);

  report.status = std::string(StatusText(BuildStatusRowByKey(), StatusAfterCycle(state, 0, 0)));
  report.resultName = kComputeModeTexts[static_cast<std::size_t>(state.computeMode)].resultName;
  report.resultUnit = ResultUnitLabel(state.computeMode, state.unit);
  report.units = UnitLabelsFor(state.unit);
  report.boxes = MakeResultTexts(state);
  report.modeTexts = MakeModeTexts(camera, selection.mode);
  report.attachmentChoices = options.attachments;
  report.attachments =
      MakeAttachmentTexts(ComputeAttachments(state, camera.pixelPitchX, camera.pixelPitchY, options.attachments));
  report.camera = std::move(camera);
  return {std::move(report), {}};
}

nlohmann::ordered_json CalcJson(const CalcReport& report) {
  const ResultTexts& b = report.boxes;
  nlohmann::ordered_json boxes;
  boxes["focalLength"] = b.focalLength;
  boxes["magnification"] = b.magnification;
  boxes["objectDistance"] = b.objectDistance;
  boxes["fieldWidth"] = b.fieldWidth;
  boxes["objectVelocity"] = b.velocity;
  boxes["resultName"] = report.resultName;
  boxes["result"] = b.result;
  boxes["resultUnit"] = report.resultUnit;
  boxes["sensorWidthMm"] = report.modeTexts.sensorWidthMm;
  boxes["sensorHeightMm"] = report.modeTexts.sensorHeightMm;
  boxes["widthPx"] = report.modeTexts.widthPx;
  boxes["heightPx"] = report.modeTexts.heightPx;
  boxes["workingFNumber"] = b.workingFNumber;
  boxes["depthOfField"] = b.depthOfField;
  boxes["nearFocus"] = b.nearFocus;
  boxes["farFocus"] = b.farFocus;
  boxes["hyperFocus"] = b.hyperFocus;
  boxes["fieldAngle"] = b.fieldAngle;
  boxes["format"] = b.format;
  boxes["motionBlur"] = b.motionBlur;
  boxes["pixelBlur"] = b.pixelBlur;
  boxes["lengthUnit"] = report.units.length;
  boxes["speedUnit"] = report.units.speed;

  const AttachmentTexts& a = report.attachments;
  nlohmann::ordered_json attachments;
  attachments["focalLength"] = a.focalLength;
  attachments["magnification"] = a.magnification;
  attachments["workingFNumber"] = a.workingFNumber;
  attachments["fieldWidth"] = a.fieldWidth;
  attachments["focusShift"] = a.focusShift;
  attachments["unit"] = a.unit;

  const CalcState& s = report.state;
  nlohmann::ordered_json state;
  state["computeMode"] = static_cast<std::int32_t>(s.computeMode);
  state["direction"] = static_cast<std::int32_t>(s.direction);
  state["lensInput"] = static_cast<std::int32_t>(s.lensInput);
  state["unit"] = static_cast<std::int32_t>(s.unit);
  state["frameRate"] = s.frameRate;
  state["shutterMultiple"] = s.shutterMultiple;
  state["focalLengthMm"] = JsonNumber(s.focalLengthMm);
  state["fieldRatio"] = JsonNumber(s.fieldRatio);
  state["fNumber"] = JsonNumber(s.fNumber);
  state["objectDistance"] = JsonNumber(s.objectDistance);
  state["fieldWidth"] = JsonNumber(s.fieldWidth);
  state["velocity"] = JsonNumber(s.velocity);
  state["computedValue"] = JsonNumber(s.computedValue);
  state["workingFNumber"] = JsonNumber(s.workingFNumber);
  state["depthOfField"] = JsonNumber(s.depthOfField);
  state["nearFocus"] = JsonNumber(s.nearFocus);
  state["farFocus"] = JsonNumber(s.farFocus);
  state["fieldAngleDeg"] = JsonNumber(s.fieldAngleDeg);
  state["hyperfocal"] = JsonNumber(s.hyperfocal);
  state["centeredFormatLabel"] = s.centeredFormatLabel;
  state["motionBlur"] = JsonNumber(s.motionBlur);
  state["pixelBlur"] = JsonNumber(s.pixelBlur);
  state["resultsValid"] = s.resultsValid;
  state["sensorWidthPx"] = s.sensorWidthPx;
  state["sensorHeightPx"] = s.sensorHeightPx;
  state["pixelPitchX"] = JsonNumber(report.pixelPitchX);
  state["pixelPitchY"] = JsonNumber(report.pixelPitchY);

  nlohmann::ordered_json json;
  json["camera"] = report.cameraName;
  json["frameRate"] = report.frameRate;
  json["resolution"] = report.resolution;
  json["shutter"] = report.shutter;
  json["status"] = report.status;
  json["boxes"] = std::move(boxes);
  json["attachments"] = std::move(attachments);
  json["state"] = std::move(state);
  return json;
}

std::string CalcTable(const CalcReport& report) {
  const CalcState& s = report.state;
  const ResultTexts& b = report.boxes;
  const std::string_view length = report.units.length;
  TextTable table;

  table.Row("Compute", kComputeModeTexts[static_cast<std::size_t>(s.computeMode)].listEntry);
  table.Blank();
  table.Heading("Camera Information");
  table.Row("Camera", report.cameraName);
  table.Row("Frame Rate", report.frameRate);
  table.Row("Shutter", report.shutter);
  table.Row("Resolution", report.resolution);
  table.Blank();
  table.Heading("Lens Information");
  table.Row("Focal Length", b.focalLength, "mm");
  table.Row("Lens f/#", report.fNumber);
  table.Row("Magnification", b.magnification, "x");
  table.Row("Lens Input", s.lensInput == LensInput::FocalLength ? "Focal Length" : "Magnification");
  table.Blank();
  table.Heading("Scene Information");
  table.Row("Object Distance", b.objectDistance, length);
  table.Row("Field Width", b.fieldWidth, length);
  table.Row("Object Velocity", b.velocity, report.units.speed);
  table.Row("Units", LengthUnitName(s.unit));
  table.Row("Direction", kDirectionListItems[s.direction == Direction::Horizontal ? 0 : 1]);
  table.Blank();
  table.Heading("Calculations");
  table.Row(report.resultName, b.result, report.resultUnit);
  table.Row("Sensor Size", report.modeTexts.sensorWidthMm + " x " + report.modeTexts.sensorHeightMm, "mm");
  table.Row("Resolution", report.modeTexts.widthPx + " x " + report.modeTexts.heightPx, "pixels");
  table.Row("Working f/#", b.workingFNumber);
  table.Row("Depth of Field", b.depthOfField, length);
  table.Row("Near Focus", b.nearFocus, length);
  table.Row("Far Focus", b.farFocus, length);
  table.Row("Hyper Focus", b.hyperFocus, length);
  table.Row("Field Angle", b.fieldAngle, "deg");
  table.Row("Format-Centered", b.format, "mount");
  table.Row("Motion Blur", b.motionBlur, length);
  table.Row("Pixel Blur", b.pixelBlur, "pixels");
  table.Blank();
  table.Heading("Lens Attachments");
  const AttachmentChoices& c = report.attachmentChoices;
  const AttachmentTexts& a = report.attachments;
  table.Row("Tele-extender", ChoiceText(c.teleExtenderOn, c.teleExtenderIndex, kTeleExtenderItems));
  table.Row("Close-up Lens", ChoiceText(c.closeUpOn, c.closeUpIndex, kCloseUpItems));
  table.Row("Extension Tubes", ChoiceText(c.tubesOn, c.tubesIndex, kTubeItems));
  table.Row("Focal Length", a.focalLength, "mm");
  table.Row("Magnification", a.magnification, "x");
  table.Row("Working f/#", a.workingFNumber);
  table.Row("Field Width", a.fieldWidth, a.unit);
  table.Row("Toward Lens", a.focusShift, a.unit);
  table.Blank();
  table.Heading(report.status);
  return table.Render();
}

}  // namespace korvan::cli
