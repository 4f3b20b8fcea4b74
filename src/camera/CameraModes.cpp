#include "camera/CameraModes.h"

#include <algorithm>
#include <unordered_set>

#include "optics/NumberText.h"

namespace korvan {

std::int32_t PixelCountAsInt(std::uint32_t count) { return static_cast<std::int32_t>(count); }

std::vector<std::string> FrameRateEntries(const CameraDefinition& camera) {
  std::vector<std::string> entries;
  std::unordered_set<std::string> seen;
  for (const std::uint32_t rate : camera.frameRates) {
    std::string text = FormatInt(PixelCountAsInt(rate));
    if (seen.insert(text).second) entries.push_back(std::move(text));
  }
  return entries;
}

std::string ResolutionEntry(std::int64_t width, std::int64_t height) {
  return FormatInt(width) + " x " + FormatInt(height);
}

std::optional<std::size_t> FindCurrentMode(const CameraDefinition& camera, std::string_view frameRateText,
                                           std::string_view resolutionText) {
  const auto rate = static_cast<std::uint32_t>(ParseInt(frameRateText));
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  if (!resolutionText.empty()) {
    width = static_cast<std::uint32_t>(ParseInt(resolutionText));
    const std::size_t x = resolutionText.find('x');
    height = x == std::string_view::npos ? width : static_cast<std::uint32_t>(ParseInt(resolutionText.substr(x + 1)));
  }
  const std::size_t count = camera.ModeCount();
  // A record whose lists differ in length would be a broken record; never index past the shortest.
  const std::size_t usable = std::min({count, camera.widthsPx.size(), camera.heightsPx.size()});
  for (std::size_t i = usable; i-- > 0;) {
    if (camera.frameRates[i] == rate && camera.widthsPx[i] == width && camera.heightsPx[i] == height) return i;
  }
  for (std::size_t i = 0; i < usable; ++i) {
    if (camera.frameRates[i] == rate) return i;
  }
  return std::nullopt;
}

ResolutionList BuildResolutionList(const CameraDefinition& camera, std::uint32_t rate,
                                   std::optional<std::size_t> modeIndex) {
  ResolutionList list;
  const std::size_t usable = std::min({camera.ModeCount(), camera.widthsPx.size(), camera.heightsPx.size()});
  for (std::size_t i = 0; i < usable; ++i) {
    if (camera.frameRates[i] != rate) continue;
    list.entries.push_back(ResolutionEntry(PixelCountAsInt(camera.widthsPx[i]), PixelCountAsInt(camera.heightsPx[i])));
    if (modeIndex && *modeIndex == i) list.selected = static_cast<int>(list.entries.size()) - 1;
  }
  if (list.selected < 0 && !list.entries.empty()) list.selected = 0;
  return list;
}

std::vector<std::string> ShutterEntries(std::uint32_t rate) {
  std::vector<std::string> entries;
  entries.reserve(20);
  std::uint32_t exposuresPerSecond = 0;  // wraps like the 32-bit product it stands for
  for (int n = 1; n <= 20; ++n) {
    exposuresPerSecond += rate;
    const double microseconds = 1000000 / static_cast<double>(exposuresPerSecond);
    entries.push_back(FormatInt(n) + "x -- " + FormatFixed2(microseconds) + " usec");
  }
  return entries;
}

std::vector<std::string> InitialShutterEntries() {
  std::vector<std::string> entries;
  for (int n = 1; n <= 20; ++n) entries.push_back(FormatInt(n) + "x");
  return entries;
}

ModeTexts MakeModeTexts(const CameraDefinition& camera, std::size_t mode) {
  if (mode >= camera.ModeCount() || mode >= camera.widthsPx.size() || mode >= camera.heightsPx.size()) {
    return {"0", "0", "0", "0"};
  }
  const std::uint32_t width = camera.widthsPx[mode];
  const std::uint32_t height = camera.heightsPx[mode];
  return {FormatInt(PixelCountAsInt(width)), FormatInt(PixelCountAsInt(height)),
          FormatFixed2(static_cast<double>(width) * camera.pixelPitchX * 1000),
          FormatFixed2(static_cast<double>(height) * camera.pixelPitchY * 1000)};
}

}  // namespace korvan
