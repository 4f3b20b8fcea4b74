// The host's launch message, as any byte sequence. Half of the inputs are spliced around a model
// name from the host camera table so that accepted messages are reached, not only rejections.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "launch/LaunchMessage.h"
#include "optics/NumberText.h"

using namespace korvan;

namespace {

// The text after the n-th comma (n counted from 1), or nothing when there are fewer commas.
bool AfterComma(std::string_view text, int n, std::string_view& rest) {
  std::size_t pos = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t comma = text.find(',', pos);
    if (comma == std::string_view::npos) return false;
    pos = comma + 1;
  }
  rest = text.substr(pos);
  return true;
}

void CheckParse(std::string_view message) {
  const LaunchParseResult result = ParseLaunchMessage(message);
  const HostLaunchRequest& request = result.request;
  FUZZ_CHECK((result.status == LaunchParseStatus::Accepted) == request.valid);

  switch (result.status) {
    case LaunchParseStatus::NotALaunchMessage:
      FUZZ_CHECK(message.find(',') == std::string_view::npos);
      FUZZ_CHECK(result.message.empty());
      break;
    case LaunchParseStatus::FormatError:
      FUZZ_CHECK(result.message == kLaunchFormatError);
      break;
    case LaunchParseStatus::UnknownCamera:
      FUZZ_CHECK(result.message == kLaunchUnknownCamera);
      break;
    case LaunchParseStatus::Accepted:
      FUZZ_CHECK(result.message.empty());
      break;
  }
  if (result.status != LaunchParseStatus::Accepted) {
    // A rejected message leaves the request as it was before any message.
    FUZZ_CHECK(request.cameraName.empty() && request.cameraFile.empty());
    FUZZ_CHECK(request.frameRate == 0 && request.imageWidth == 0 && request.imageHeight == 0);
    FUZZ_CHECK(request.shutterMultiple == 0);
    return;
  }

  // The model is the second field, taken whole; its file comes from the table.
  std::string_view afterFirst;
  FUZZ_CHECK(AfterComma(message, 1, afterFirst));
  FUZZ_CHECK(request.cameraName == afterFirst.substr(0, afterFirst.find(',')));
  FUZZ_CHECK(!request.cameraFile.empty());
  FUZZ_CHECK(request.cameraFile == LookUpHostCamera(request.cameraName));

  // Each number is read from the start of its field, the shutter from everything after the fifth comma.
  std::string_view field;
  FUZZ_CHECK(AfterComma(message, 2, field) && request.frameRate == ParseInt(field));
  FUZZ_CHECK(AfterComma(message, 3, field) && request.imageWidth == ParseInt(field));
  FUZZ_CHECK(AfterComma(message, 4, field) && request.imageHeight == ParseInt(field));
  FUZZ_CHECK(AfterComma(message, 5, field) && !field.empty() && request.shutterMultiple == ParseInt(field));

  const std::int32_t shutter = ClampHostShutter(request.shutterMultiple);
  FUZZ_CHECK(shutter >= 1 && shutter <= 20);
  if (request.shutterMultiple >= 1 && request.shutterMultiple <= 20) FUZZ_CHECK(shutter == request.shutterMultiple);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckParse(bytes);

  if (size >= 2 && (data[0] & 1)) {
    const HostCameraEntry& row = hostCameraTable[data[1] % (kHostCameraRows + 1)];
    const std::string spliced = "x," + std::string(row.modelName) + "," + std::string(bytes.substr(2));
    CheckParse(spliced);
  }

  if (size >= sizeof(std::int32_t)) {
    std::int32_t value;
    std::memcpy(&value, data, sizeof value);
    const std::int32_t clamped = ClampHostShutter(value);
    FUZZ_CHECK(clamped == (value < 1 ? 1 : value > 20 ? 20 : value));
  }

  // Every model the table lists with a file is found again by exact name, and no other spelling is.
  const std::string name(bytes);
  const std::string_view file = LookUpHostCamera(name);
  bool listed = false;
  for (std::size_t i = 0; i < kHostCameraRows; ++i) {
    if (name == hostCameraTable[i].modelName) {
      listed = true;
      FUZZ_CHECK(file == hostCameraTable[i].cameraFileName);
      break;
    }
  }
  if (!listed) FUZZ_CHECK(file.empty());
  return 0;
}
