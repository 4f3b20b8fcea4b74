#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvan {

// One camera: its name, the file it came from, one entry per mode in each list (modes in the
// order of the file), and the pixel pitch in meters.
struct CameraDefinition {
  std::string name;
  std::string filePath;
  std::vector<std::string> rateTexts;  // each mode line's first field as written; carried, never shown
  std::vector<std::uint32_t> frameRates;
  std::vector<std::uint32_t> heightsPx;
  std::vector<std::uint32_t> widthsPx;
  double pixelPitchX = 0;
  double pixelPitchY = 0;

  std::size_t ModeCount() const { return frameRates.size(); }
  bool operator==(const CameraDefinition&) const = default;
};

inline constexpr std::string_view kGenericCameraName = "No Camera Selected";
// The path paired with the generic camera's list entry; no file of that name is ever opened.
inline constexpr std::string_view kGenericCameraPath = "generic.cam";

// The built-in camera in force whenever no camera file is loaded.
CameraDefinition BuildGenericCamera();

}  // namespace korvan
