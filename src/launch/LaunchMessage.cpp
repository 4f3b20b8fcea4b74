#include "launch/LaunchMessage.h"

#include "optics/NumberText.h"

namespace korvan {
namespace {

LaunchParseResult Rejected(LaunchParseStatus status, std::string_view message) {
  LaunchParseResult result;
  result.status = status;
  result.message = message;
  return result;
}

// Takes the text before the next comma off the front of `rest`; false when there is no comma.
bool TakeField(std::string_view& rest, std::string_view& field) {
  const std::size_t comma = rest.find(',');
  if (comma == std::string_view::npos) return false;
  field = rest.substr(0, comma);
  rest.remove_prefix(comma + 1);
  return true;
}

}  // namespace

std::string_view LookUpHostCamera(std::string_view modelName) {
  for (const HostCameraEntry& row : hostCameraTable) {
    if (row.modelName[0] == '\0') break;
    if (modelName == row.modelName) return row.cameraFileName;
  }
  return {};
}

LaunchParseResult ParseLaunchMessage(std::string_view message) {
  std::string_view rest = message;
  std::string_view field;
  if (!TakeField(rest, field)) return {};  // not a launch message at all: ignored silently

  std::string_view model;
  if (!TakeField(rest, model)) return Rejected(LaunchParseStatus::FormatError, kLaunchFormatError);
  const std::string_view cameraFile = LookUpHostCamera(model);
  if (cameraFile.empty()) return Rejected(LaunchParseStatus::UnknownCamera, kLaunchUnknownCamera);

  std::int32_t numbers[3];
  for (std::int32_t& number : numbers) {
    if (!TakeField(rest, field)) return Rejected(LaunchParseStatus::FormatError, kLaunchFormatError);
    number = ParseInt(field);
  }
  if (rest.empty()) return Rejected(LaunchParseStatus::FormatError, kLaunchFormatError);

  LaunchParseResult result;
  result.status = LaunchParseStatus::Accepted;
  HostLaunchRequest& request = result.request;
  request.cameraName = model;
  request.cameraFile = cameraFile;
  request.frameRate = numbers[0];
  request.imageWidth = numbers[1];
  request.imageHeight = numbers[2];
  request.shutterMultiple = ParseInt(rest);
  request.valid = true;
  return result;
}

std::int32_t ClampHostShutter(std::int32_t shutterMultiple) {
  if (shutterMultiple < 1) return 1;
  if (shutterMultiple > 20) return 20;
  return shutterMultiple;
}

}  // namespace korvan
