#include "camera/CameraWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "camera/AtomicFile.h"
#include "optics/NumberText.h"

namespace korvan {
namespace {

constexpr double kMicrometre = 1e-6;  // the reader's factor, applied exactly as it applies it

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The number of characters, or nothing when the bytes are not UTF-8 (overlong forms, surrogates
// and values past U+10FFFF included).
std::optional<std::size_t> Utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
      code = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1, code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2, code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3, code = lead & 0x07u;
    } else {
      return std::nullopt;
    }
    if (text.size() - i <= extra) return std::nullopt;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0u) != 0x80u) return std::nullopt;
      code = (code << 6) | (next & 0x3Fu);
    }
    if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF)) {
      return std::nullopt;
    }
    i += extra + 1;
  }
  return count;
}

std::optional<std::string_view> CheckPitch(double pitch) {
  if (std::isnan(pitch) || std::isinf(pitch)) return kPixelNotFiniteMessage;
  if (!(pitch > 0)) return kPixelNotPositiveMessage;
  if (!PixelPitchText(pitch)) return kPixelNotExactMessage;
  return std::nullopt;
}

std::optional<std::string_view> CheckModeValue(std::uint32_t value) {
  if (value < 1 || value > kMaxModeValue) return kModeRangeMessage;
  return std::nullopt;
}

void AppendCount(std::string& out, std::uint32_t value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

}  // namespace

std::optional<std::string_view> CheckCameraName(std::string_view name) {
  if (name.empty()) return kNameMissingMessage;
  if (name.find_first_of("\r\n") != std::string_view::npos) return kNameLineBreakMessage;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return kNameControlMessage;
  }
  const std::optional<std::size_t> length = Utf8Length(name);
  if (!length) return kNameEncodingMessage;
  if (*length > kMaxNameLength) return kNameLengthMessage;
  // The reader trims each line; a name with blanks at its ends would come back without them.
  if (name.front() == ' ' || name.back() == ' ') return kNameSpaceMessage;
  if (name.front() == '#') return kNameHashMessage;
  // The camera list matches names without regard to letter case.
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (std::equal(name.begin(), name.end(), kGenericCameraName.begin(), kGenericCameraName.end(),
                 [&](char a, char b) { return lower(a) == lower(b); })) {
    return kNameGenericMessage;
  }
  return std::nullopt;
}

PixelSizeReading ReadPixelSizeText(std::string_view text) {
  PixelSizeReading reading;
  const std::string_view number = TrimBlanks(text);
  if (number.empty()) {
    reading.problem = kPixelMissingMessage;
    return reading;
  }
  const std::optional<WholeNumber> read = ReadWholeDouble(number);
  if (!read) {
    reading.problem = kPixelNotNumberMessage;
    return reading;
  }
  const double value = read->value;
  if (read->outOfRange) {
    // Too large is not finite; too small, or negative, is not above 0.
    reading.problem = value == 0 || number.front() == '-' ? kPixelNotPositiveMessage : kPixelNotFiniteMessage;
    return reading;
  }
  reading.micrometres = value;
  reading.problem = CheckPitch(value * kMicrometre);
  return reading;
}

ModeValueReading ReadModeValueText(std::string_view text) {
  ModeValueReading reading;
  const std::string_view number = TrimBlanks(text);
  if (number.empty()) {
    reading.problem = kModeMissingMessage;
    return reading;
  }
  std::int64_t value = 0;
  const std::string_view digits = number.front() == '+' ? number.substr(1) : number;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || result.ptr != digits.data() + digits.size() ||
      (result.ec != std::errc() && result.ec != std::errc::result_out_of_range)) {
    reading.problem = kModeNotWholeMessage;
    return reading;
  }
  if (result.ec == std::errc::result_out_of_range || value < 1 || value > kMaxModeValue) {
    reading.problem = kModeRangeMessage;
    return reading;
  }
  reading.value = static_cast<std::uint32_t>(value);
  return reading;
}

std::string DescribeIssue(const CameraIssue& issue) {
  static constexpr std::string_view kLabels[] = {"Name",       "Pixel width", "Pixel height", "Modes",
                                                 "Frame rate", "Width",       "Height"};
  std::string text(kLabels[static_cast<int>(issue.field)]);
  if (issue.field == CameraField::FrameRate || issue.field == CameraField::Width ||
      issue.field == CameraField::Height) {
    text.append(" of mode ").append(std::to_string(issue.mode + 1));
  }
  text.append(": ").append(issue.message);
  return text;
}

DraftReading ReadCameraDraft(const CameraDraft& draft) {
  DraftReading reading;
  CameraDefinition& camera = reading.camera;
  camera.name = draft.name;
  if (const auto problem = CheckCameraName(draft.name)) reading.issues.push_back({CameraField::Name, 0, *problem});
  const PixelSizeReading width = ReadPixelSizeText(draft.pixelWidth);
  if (width.problem) reading.issues.push_back({CameraField::PixelWidth, 0, *width.problem});
  const PixelSizeReading height = ReadPixelSizeText(draft.pixelHeight);
  if (height.problem) reading.issues.push_back({CameraField::PixelHeight, 0, *height.problem});
  camera.pixelPitchX = width.micrometres * kMicrometre;
  camera.pixelPitchY = height.micrometres * kMicrometre;
  if (draft.modes.empty()) reading.issues.push_back({CameraField::Modes, 0, kNoModeMessage});
  const std::size_t count = draft.modes.size();
  camera.rateTexts.reserve(count);
  camera.frameRates.reserve(count);
  camera.widthsPx.reserve(count);
  camera.heightsPx.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const CameraDraft::Mode& mode = draft.modes[i];
    const ModeValueReading rate = ReadModeValueText(mode.rate);
    const ModeValueReading w = ReadModeValueText(mode.width);
    const ModeValueReading h = ReadModeValueText(mode.height);
    if (rate.problem) reading.issues.push_back({CameraField::FrameRate, i, *rate.problem});
    if (w.problem) reading.issues.push_back({CameraField::Width, i, *w.problem});
    if (h.problem) reading.issues.push_back({CameraField::Height, i, *h.problem});
    camera.rateTexts.push_back(std::to_string(rate.value));
    camera.frameRates.push_back(rate.value);
    camera.widthsPx.push_back(w.value);
    camera.heightsPx.push_back(h.value);
  }
  return reading;
}

std::vector<CameraDraft::Mode> ModesFromText(std::string_view text) {
  std::vector<CameraDraft::Mode> modes;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_of("0123456789") == std::string_view::npos) continue;

    std::vector<std::string_view> fields;
    const char separator = line.find('\t') != std::string_view::npos  ? '\t'
                           : line.find(',') != std::string_view::npos ? ','
                                                                      : ' ';
    while (fields.size() < 3) {
      if (separator == ' ') {
        const std::size_t start = line.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        line.remove_prefix(start);
      }
      const std::size_t end = line.find(separator);
      fields.push_back(TrimBlanks(line.substr(0, end)));
      if (end == std::string_view::npos) break;
      line.remove_prefix(end + 1);
    }
    fields.resize(3);
    modes.push_back({std::string(fields[0]), std::string(fields[1]), std::string(fields[2])});
  }
  return modes;
}

std::vector<CameraIssue> CheckCameraForWriting(const CameraDefinition& camera) {
  std::vector<CameraIssue> issues;
  if (const auto problem = CheckCameraName(camera.name)) issues.push_back({CameraField::Name, 0, *problem});
  if (const auto problem = CheckPitch(camera.pixelPitchX)) issues.push_back({CameraField::PixelWidth, 0, *problem});
  if (const auto problem = CheckPitch(camera.pixelPitchY)) issues.push_back({CameraField::PixelHeight, 0, *problem});
  const std::size_t count = camera.frameRates.size();
  if (camera.widthsPx.size() != count || camera.heightsPx.size() != count) {
    issues.push_back({CameraField::Modes, 0, kModeListsMessage});
    return issues;
  }
  if (count == 0) issues.push_back({CameraField::Modes, 0, kNoModeMessage});
  for (std::size_t i = 0; i < count; ++i) {
    if (const auto problem = CheckModeValue(camera.frameRates[i]))
      issues.push_back({CameraField::FrameRate, i, *problem});
    if (const auto problem = CheckModeValue(camera.widthsPx[i])) issues.push_back({CameraField::Width, i, *problem});
    if (const auto problem = CheckModeValue(camera.heightsPx[i])) issues.push_back({CameraField::Height, i, *problem});
  }
  return issues;
}

std::optional<std::string> PixelPitchText(double pitchMeters) {
  if (!std::isfinite(pitchMeters) || !(pitchMeters > 0)) return std::nullopt;
  // The quotient and the product may each be a unit or two off the value whose reading gives the
  // pitch back; try both and their neighbours, and keep the shortest text that reads back exactly.
  std::optional<std::string> best;
  for (const double start : {pitchMeters / kMicrometre, pitchMeters * 1e6}) {
    double candidate = start;
    for (int step = 0; step < 3; ++step) candidate = std::nextafter(candidate, 0.0);
    for (int step = 0; step < 7; ++step, candidate = std::nextafter(candidate, HUGE_VAL)) {
      if (!std::isfinite(candidate)) continue;
      std::string text = FormatShortest(candidate);
      if (ParseDouble(text) * kMicrometre != pitchMeters) continue;
      if (!best || text.size() < best->size()) best = std::move(text);
    }
  }
  return best;
}

std::optional<std::string> WriteCameraText(const CameraDefinition& camera, std::string_view writtenBy) {
  if (!CheckCameraForWriting(camera).empty()) return std::nullopt;
  std::string text;
  text.reserve(64 + writtenBy.size() + camera.name.size() + camera.ModeCount() * 24);
  text.append("# Written by ").append(writtenBy).append("\n");
  text.append(camera.name).append("\n");
  text.append(*PixelPitchText(camera.pixelPitchX)).append(",").append(*PixelPitchText(camera.pixelPitchY));
  text.append("\n");
  for (std::size_t i = 0; i < camera.ModeCount(); ++i) {
    AppendCount(text, camera.frameRates[i]);
    text.push_back(',');
    AppendCount(text, camera.widthsPx[i]);
    text.push_back(',');
    AppendCount(text, camera.heightsPx[i]);
    text.push_back('\n');
  }
  return text;
}

std::string WriteFailure(std::string_view path, std::string_view reason) {
  std::string message(kWriteFailedMessage);
  message.append(path).append(": ").append(reason);
  return message;
}

CameraWriteResult WriteCameraFile(const CameraDefinition& camera, const std::string& path, std::string_view writtenBy) {
  CameraWriteResult result;
  const std::vector<CameraIssue> issues = CheckCameraForWriting(camera);
  if (!issues.empty()) {
    result.message = WriteFailure(path, issues.front().message);
    return result;
  }
  const std::string text = *WriteCameraText(camera, writtenBy);

  const std::string reason = ReplaceFileAtomically(path, text);
  if (!reason.empty()) {
    result.message = WriteFailure(path, reason);
    return result;
  }
  result.written = true;
  return result;
}

}  // namespace korvan
