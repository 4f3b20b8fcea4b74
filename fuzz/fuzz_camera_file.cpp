// Camera file text, as any byte sequence, through the reader and every list the window builds
// from the camera it yields.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "camera/CameraFile.h"
#include "camera/CameraModes.h"
#include "optics/NumberText.h"

using namespace korvan;

namespace {

const std::string kPath = "fuzz.cam";
constexpr std::size_t kFileBufferSize = 65536;  // LineSource's read buffer

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool IsSignificant(std::string_view line) {
  return !line.empty() && line.front() != '#' && !IsBlank(line.front()) && !IsBlank(line.back());
}

// A pixel size may read as NaN ("nan" is a number to the reader), and NaN never equals itself:
// two readings agree when every field is the same and each pitch is the same number or NaN twice.
bool SamePitch(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

bool SameCamera(const CameraDefinition& a, const CameraDefinition& b) {
  return a.name == b.name && a.filePath == b.filePath && a.rateTexts == b.rateTexts && a.frameRates == b.frameRates &&
         a.heightsPx == b.heightsPx && a.widthsPx == b.widthsPx && SamePitch(a.pixelPitchX, b.pixelPitchX) &&
         SamePitch(a.pixelPitchY, b.pixelPitchY);
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::uint32_t Fnv1a(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

// Reading through a file must give what reading the same text from memory gives, wherever the
// file's read buffer ends. For one input in four a leading comment of chosen length moves that
// boundary into the text (the 64 KiB comment is what slows a run, so not for every input).
void CheckFileReadsLikeMemory(const std::string& text, const CameraReadResult& fromMemory) {
  const std::uint32_t hash = Fnv1a(text);
  std::string padded;
  if (hash % 4 == 0) {
    const std::size_t boundaryInText = (hash / 4) % (text.size() + 1);
    padded = "#" + std::string(kFileBufferSize - 2 - boundaryInText, 'c') + "\n" + text;
  } else {
    padded = "#\n" + text;  // fmemopen refuses an empty buffer
  }
  std::FILE* file = fmemopen(padded.data(), padded.size(), "r");
  FUZZ_CHECK(file != nullptr);
  LineSource source(file);
  CameraReadResult fromFile = ReadCameraLines(source, kPath);
  FUZZ_CHECK(!source.Failed());
  std::fclose(file);
  FUZZ_CHECK(fromFile.status == fromMemory.status);
  FUZZ_CHECK(fromFile.message == fromMemory.message);
  FUZZ_CHECK(SameCamera(fromFile.camera, fromMemory.camera));
}

void CheckMessage(const CameraReadResult& result) {
  switch (result.status) {
    case CameraReadStatus::Loaded:
      FUZZ_CHECK(result.message.empty());
      break;
    case CameraReadStatus::BadModeLine:
      FUZZ_CHECK(result.message == kBadModeLineMessage);
      break;
    case CameraReadStatus::Empty:
      FUZZ_CHECK(result.message == std::string(kEmptyCameraMessage) + kPath);
      break;
    case CameraReadStatus::NoPixelLine:
      FUZZ_CHECK(result.message == std::string(kNoPixelLineMessage) + kPath);
      break;
    case CameraReadStatus::NoModes:
      FUZZ_CHECK(result.message == std::string(kNoModesMessage) + kPath);
      break;
    case CameraReadStatus::BadPixelLine: {
      FUZZ_CHECK(StartsWith(result.message, kBadPixelLineMessage));
      const std::string_view line = std::string_view(result.message).substr(kBadPixelLineMessage.size());
      FUZZ_CHECK(IsSignificant(line));
      FUZZ_CHECK(line.find(',') == std::string_view::npos);
      break;
    }
    case CameraReadStatus::CannotOpen:
    case CameraReadStatus::ReadError:
      FUZZ_CHECK(false);  // text in memory always opens and always reads to its end
  }
}

void CheckCamera(const CameraDefinition& camera) {
  FUZZ_CHECK(IsSignificant(camera.name));
  FUZZ_CHECK(camera.filePath == kPath);
  const std::size_t modes = camera.ModeCount();
  FUZZ_CHECK(modes > 0);
  FUZZ_CHECK(camera.rateTexts.size() == modes);
  FUZZ_CHECK(camera.widthsPx.size() == modes);
  FUZZ_CHECK(camera.heightsPx.size() == modes);
  for (std::size_t i = 0; i < modes; ++i) {
    FUZZ_CHECK(camera.rateTexts[i].find(',') == std::string::npos);
    FUZZ_CHECK(camera.frameRates[i] == static_cast<std::uint32_t>(ParseInt(camera.rateTexts[i])));
  }
}

bool SameImage(const CameraDefinition& camera, std::size_t a, std::size_t b) {
  return camera.frameRates[a] == camera.frameRates[b] && camera.widthsPx[a] == camera.widthsPx[b] &&
         camera.heightsPx[a] == camera.heightsPx[b];
}

// Steps through the frame-rate list as a user would, carrying the resolution text from one rate
// to the next as the window does.
void CheckModeLists(const CameraDefinition& camera) {
  const std::vector<std::string> rates = FrameRateEntries(camera);
  FUZZ_CHECK(!rates.empty());
  FUZZ_CHECK(rates.size() <= camera.ModeCount());
  FUZZ_CHECK(std::set<std::string>(rates.begin(), rates.end()).size() == rates.size());

  std::string resolutionText(kInitialResolutionEntry);
  for (const std::string& rateText : rates) {
    const std::optional<std::size_t> mode = FindCurrentMode(camera, rateText, resolutionText);
    FUZZ_CHECK(mode.has_value());
    FUZZ_CHECK(*mode < camera.ModeCount());
    const std::uint32_t rate = camera.frameRates[*mode];
    FUZZ_CHECK(rate == static_cast<std::uint32_t>(ParseInt(rateText)));

    const ResolutionList list = BuildResolutionList(camera, rate, mode);
    std::size_t modesAtRate = 0;
    for (std::uint32_t r : camera.frameRates) modesAtRate += r == rate;
    FUZZ_CHECK(list.entries.size() == modesAtRate);
    FUZZ_CHECK(list.selected >= 0 && static_cast<std::size_t>(list.selected) < list.entries.size());

    // The selected entry must lead back to the image size it was selected for.
    const std::optional<std::size_t> again = FindCurrentMode(camera, rateText, list.entries[list.selected]);
    FUZZ_CHECK(again.has_value() && *again < camera.ModeCount());
    FUZZ_CHECK(SameImage(camera, *mode, *again));
    resolutionText = list.entries[list.selected];

    const std::vector<std::string> shutter = ShutterEntries(rate);
    FUZZ_CHECK(shutter.size() == 20);
    for (std::size_t n = 1; n <= shutter.size(); ++n) {
      const std::string& entry = shutter[n - 1];
      FUZZ_CHECK(ParseInt(entry) == static_cast<std::int32_t>(n));
      FUZZ_CHECK(StartsWith(entry, FormatInt(static_cast<std::int64_t>(n)) + "x -- "));
      FUZZ_CHECK(entry.size() > 5 && entry.compare(entry.size() - 5, 5, " usec") == 0);
    }
  }

  for (std::size_t mode = 0; mode < camera.ModeCount(); ++mode) {
    const ModeTexts texts = MakeModeTexts(camera, mode);
    FUZZ_CHECK(ParseInt(texts.widthPx) == PixelCountAsInt(camera.widthsPx[mode]));
    FUZZ_CHECK(ParseInt(texts.heightPx) == PixelCountAsInt(camera.heightsPx[mode]));
    // A negative pixel size is accepted, but a size that rounds to zero is shown without a sign.
    for (const std::string* text : {&texts.sensorWidthMm, &texts.sensorHeightMm}) {
      FUZZ_CHECK(!text->empty());
      FUZZ_CHECK(text->front() != '-' || text->find_first_of("123456789") != std::string::npos ||
                 *text == kNegativeInfinityText);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  {
    LineSource source(text);
    std::string line;
    while (ReadSignificantLine(source, line)) FUZZ_CHECK(IsSignificant(line));
  }

  LineSource source(text);
  const CameraReadResult result = ReadCameraLines(source, kPath);
  CheckMessage(result);
  CheckFileReadsLikeMemory(text, result);
  if (result.status != CameraReadStatus::Loaded) return 0;
  CheckCamera(result.camera);
  CheckModeLists(result.camera);
  return 0;
}
