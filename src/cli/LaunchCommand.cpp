#include "cli/Commands.h"
#include "cli/TextTable.h"
#include "optics/NumberText.h"

namespace korvan::cli {

Outcome<HostLaunchRequest> ParseLaunch(std::string_view message) {
  // Start-up hands only arguments of this length or more to the parser; shorter ones are ignored.
  if (message.size() < kMinLaunchArgumentLength) return {HostLaunchRequest{}, {}};
  LaunchParseResult parsed = ParseLaunchMessage(message);
  switch (parsed.status) {
    case LaunchParseStatus::Accepted:
      return {std::move(parsed.request), {}};
    case LaunchParseStatus::NotALaunchMessage:
      return {HostLaunchRequest{}, {}};
    case LaunchParseStatus::FormatError:
    case LaunchParseStatus::UnknownCamera:
      break;
  }
  return Outcome<HostLaunchRequest>::Refuse(parsed.message);
}

nlohmann::ordered_json LaunchJson(const HostLaunchRequest& request) {
  nlohmann::ordered_json json;
  if (!request.valid) {
    json["valid"] = false;
    return json;
  }
  json["cameraName"] = request.cameraName;
  json["cameraFile"] = request.cameraFile;
  json["frameRate"] = request.frameRate;
  json["imageWidth"] = request.imageWidth;
  json["imageHeight"] = request.imageHeight;
  json["shutterMultiple"] = request.shutterMultiple;
  json["valid"] = true;
  return json;
}

std::string LaunchTable(const HostLaunchRequest& request) {
  TextTable table;
  if (request.valid) {
    table.Row("Camera Name", request.cameraName);
    table.Row("Camera File", request.cameraFile);
    table.Row("Frame Rate", FormatInt(request.frameRate));
    table.Row("Image Width", FormatInt(request.imageWidth), "pixels");
    table.Row("Image Height", FormatInt(request.imageHeight), "pixels");
    table.Row("Shutter Multiple", FormatInt(request.shutterMultiple));
  }
  table.Row("Valid", request.valid ? "true" : "false (not a launch message: the program ignores it)");
  return table.Render();
}

nlohmann::ordered_json HostModelsJson() {
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < kHostCameraRows; ++i) {
    nlohmann::ordered_json row;
    row["modelName"] = hostCameraTable[i].modelName;
    row["cameraFileName"] = hostCameraTable[i].cameraFileName;
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string HostModelsTable() {
  TextTable table;
  table.Row("Model", "Camera File");
  for (std::size_t i = 0; i < kHostCameraRows; ++i) {
    const HostCameraEntry& entry = hostCameraTable[i];
    table.Row(entry.modelName, entry.cameraFileName[0] != '\0' ? entry.cameraFileName : "(none: not recognised)");
  }
  return table.Render();
}

}  // namespace korvan::cli
