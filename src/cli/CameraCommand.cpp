#include <tuple>
#include <utility>

#include "camera/CameraFile.h"
#include "camera/CameraModes.h"
#include "camera/CameraWriter.h"
#include "cli/Commands.h"
#include "cli/TextTable.h"
#include "optics/NumberText.h"

namespace korvan::cli {
namespace {

// The resolution list the window builds for one frame-rate entry, found as the window finds it:
// through the first mode at the rate the entry's text stands for.
std::vector<std::string> ResolutionsAt(const CameraDefinition& camera, const std::string& rateEntry) {
  const std::optional<std::size_t> mode = FindCurrentMode(camera, rateEntry, {});
  if (!mode) return {};
  return BuildResolutionList(camera, camera.frameRates[*mode], std::nullopt).entries;
}

// The text before the first comma, and the rest after it (empty when there is no comma).
std::pair<std::string, std::string> SplitAtComma(const std::string& text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) return {text, {}};
  return {text.substr(0, comma), text.substr(comma + 1)};
}

}  // namespace

Outcome<CameraDefinition> WriteNewCamera(const NewCameraOptions& options) {
  CameraDraft draft;
  draft.name = options.name;
  std::tie(draft.pixelWidth, draft.pixelHeight) = SplitAtComma(options.pixel);
  for (const std::string& text : options.modes) {
    CameraDraft::Mode mode;
    std::string rest;
    std::tie(mode.rate, rest) = SplitAtComma(text);
    // A fourth field stays part of the height, which then is no whole number.
    std::tie(mode.width, mode.height) = SplitAtComma(rest);
    draft.modes.push_back(std::move(mode));
  }
  const DraftReading reading = ReadCameraDraft(draft);
  if (!reading.issues.empty()) return Outcome<CameraDefinition>::Refuse(DescribeIssue(reading.issues.front()));
  const CameraWriteResult written = WriteCameraFile(reading.camera, options.output, "korvan-lens camera new");
  if (!written.written) return Outcome<CameraDefinition>::Refuse(written.message);
  return ReadCamera(options.output);
}

Outcome<CameraDefinition> ReadCamera(const std::string& path) {
  CameraReadResult read = ReadCameraFile(path);
  if (read.status == CameraReadStatus::CannotOpen) {
    // The window's message names the file; the command also says why the system refused it.
    const std::string reason = CameraFileOpenFailure(path);
    return Outcome<CameraDefinition>::Refuse(read.message + (reason.empty() ? "" : ": " + reason));
  }
  if (read.status != CameraReadStatus::Loaded) return Outcome<CameraDefinition>::Refuse(read.message);
  return {std::move(read.camera), {}};
}

nlohmann::ordered_json CameraJson(const CameraDefinition& camera) {
  nlohmann::ordered_json modes = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < camera.ModeCount(); ++i) {
    nlohmann::ordered_json mode;
    mode["rateText"] = camera.rateTexts[i];
    mode["frameRate"] = camera.frameRates[i];
    mode["width"] = camera.widthsPx[i];
    mode["height"] = camera.heightsPx[i];
    modes.push_back(std::move(mode));
  }
  const std::vector<std::string> rates = FrameRateEntries(camera);
  nlohmann::ordered_json resolutions = nlohmann::ordered_json::object();
  for (const std::string& rate : rates) resolutions[rate] = ResolutionsAt(camera, rate);

  nlohmann::ordered_json json;
  json["name"] = camera.name;
  json["pixelPitchX"] = JsonNumber(camera.pixelPitchX);
  json["pixelPitchY"] = JsonNumber(camera.pixelPitchY);
  json["modes"] = std::move(modes);
  json["frameRates"] = rates;
  json["resolutions"] = std::move(resolutions);
  return json;
}

std::string CameraTable(const CameraDefinition& camera) {
  TextTable table;
  table.Row("Camera", camera.name);
  table.Row("Pixel Pitch", FormatG15(camera.pixelPitchX) + " x " + FormatG15(camera.pixelPitchY), "m");
  table.Blank();
  table.Heading("Modes");
  for (std::size_t i = 0; i < camera.ModeCount(); ++i) {
    table.Row("Mode " + FormatInt(static_cast<std::int64_t>(i) + 1) + ", " + FormatInt(camera.frameRates[i]) + " fps",
              ResolutionEntry(camera.widthsPx[i], camera.heightsPx[i]), "pixels");
  }
  table.Blank();
  table.Heading("Resolutions by Frame Rate");
  for (const std::string& rate : FrameRateEntries(camera)) {
    std::string sizes;
    for (const std::string& entry : ResolutionsAt(camera, rate)) {
      if (!sizes.empty()) sizes += ", ";
      sizes += entry;
    }
    table.Row(rate + " fps", sizes);
  }
  return table.Render();
}

}  // namespace korvan::cli
