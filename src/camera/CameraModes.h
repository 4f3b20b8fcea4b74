#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "camera/CameraDefinition.h"

// The frame-rate, resolution and shutter choices a camera offers, as list texts.
namespace korvan {

// One entry per distinct frame rate, "%d", in order of first appearance.
std::vector<std::string> FrameRateEntries(const CameraDefinition& camera);

// "%d x %d", width first.
std::string ResolutionEntry(std::int64_t width, std::int64_t height);

// The mode the selected frame-rate and resolution texts stand for: the last mode matching rate,
// width and height, else the first mode at the rate; nothing when the camera has no mode at the rate.
std::optional<std::size_t> FindCurrentMode(const CameraDefinition& camera, std::string_view frameRateText,
                                           std::string_view resolutionText);

struct ResolutionList {
  std::vector<std::string> entries;
  int selected = -1;  // -1 when the list is empty
};

// One entry per mode at `rate`, in mode order; the entry of `modeIndex` selected, else entry 0.
ResolutionList BuildResolutionList(const CameraDefinition& camera, std::uint32_t rate,
                                   std::optional<std::size_t> modeIndex);

// Twenty entries "%dx -- %.2f usec", N = 1..20, exposure 1000000 / (N x rate) microseconds with
// the product formed as an unsigned 32-bit integer. A rate of 0 reads "1x -- Infinity usec".
std::vector<std::string> ShutterEntries(std::uint32_t rate);

// The twenty entries of the window's resource before any camera: "1x" .. "20x".
std::vector<std::string> InitialShutterEntries();
inline constexpr std::string_view kInitialResolutionEntry = "100 x 100";

// Boxes 1050, 1051 (pixels, "%d") and 1053, 1054 (millimetres, "%.2f") for one mode.
struct ModeTexts {
  std::string widthPx;
  std::string heightPx;
  std::string sensorWidthMm;
  std::string sensorHeightMm;
};
ModeTexts MakeModeTexts(const CameraDefinition& camera, std::size_t mode);

// The image size of a mode as the CalcState holds it (the 32-bit pattern of the unsigned count).
std::int32_t PixelCountAsInt(std::uint32_t count);

}  // namespace korvan
