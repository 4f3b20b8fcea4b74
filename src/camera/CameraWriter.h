#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "camera/CameraDefinition.h"

// Writing camera files, and the checks a camera must pass first. The camera editor and the
// command both check with these functions and show these messages, so they refuse alike.
namespace korvan {

// The reasons a camera cannot be written. Each stands beside the field it concerns.
inline constexpr std::string_view kNameMissingMessage = "Enter the camera's name.";
inline constexpr std::string_view kNameLineBreakMessage = "The name must fit on one line.";
inline constexpr std::string_view kNameControlMessage = "The name must not contain control characters.";
inline constexpr std::string_view kNameHashMessage = "The name must not begin with \"#\": the line would be a comment.";
inline constexpr std::string_view kNameSpaceMessage = "The name must not begin or end with a space.";
inline constexpr std::string_view kNameEncodingMessage = "The name is not valid UTF-8 text.";
// The calculator lists its generic camera under this name; a file of that name would never load.
inline constexpr std::string_view kNameGenericMessage = "This name stands for the built-in generic camera.";
inline constexpr std::string_view kNameLengthMessage = "The name must not be longer than 255 characters.";
inline constexpr std::string_view kPixelMissingMessage = "Enter the pixel size in micrometres.";
inline constexpr std::string_view kPixelNotNumberMessage = "The pixel size must be a number, such as 7.4.";
inline constexpr std::string_view kPixelNotPositiveMessage = "The pixel size must be greater than 0.";
inline constexpr std::string_view kPixelNotFiniteMessage = "The pixel size must be a finite number.";
// Only a pitch that no micrometre text gives (none read from a file or typed) can meet this.
inline constexpr std::string_view kPixelNotExactMessage = "The pixel size has no exact micrometre text.";
inline constexpr std::string_view kNoModeMessage = "Add at least one mode.";
inline constexpr std::string_view kModeListsMessage = "The mode lists differ in length.";
inline constexpr std::string_view kModeMissingMessage = "Enter a whole number.";
inline constexpr std::string_view kModeNotWholeMessage = "Must be a whole number.";
inline constexpr std::string_view kModeRangeMessage = "Must be between 1 and 2147483647.";
// Names the file and follows with the system's reason.
inline constexpr std::string_view kWriteFailedMessage = "Could not write camera file ";

// The largest count a mode can hold: the reader reads a mode's numbers as 32-bit signed integers.
inline constexpr std::uint32_t kMaxModeValue = 2147483647u;
inline constexpr std::size_t kMaxNameLength = 255;  // characters

enum class CameraField { Name, PixelWidth, PixelHeight, Modes, FrameRate, Width, Height };

struct CameraIssue {
  CameraField field = CameraField::Name;
  std::size_t mode = 0;  // for FrameRate, Width and Height
  std::string_view message;
};

// The reason `name` cannot be written as a camera name, if any.
std::optional<std::string_view> CheckCameraName(std::string_view name);

// A pixel size typed in micrometres: the whole text must be a number (blanks around it allowed).
struct PixelSizeReading {
  double micrometres = 0;
  std::optional<std::string_view> problem;
};
PixelSizeReading ReadPixelSizeText(std::string_view text);

// A frame rate, width or height as typed: a whole number from 1 to kMaxModeValue.
struct ModeValueReading {
  std::uint32_t value = 0;
  std::optional<std::string_view> problem;
};
ModeValueReading ReadModeValueText(std::string_view text);

// Where an issue lies, for a person: "Name: ...", "Pixel width: ...", "Width of mode 3: ...".
std::string DescribeIssue(const CameraIssue& issue);

// A camera as a person types it, every field a text; each mode is rate, width and height.
struct CameraDraft {
  std::string name;
  std::string pixelWidth;   // micrometres
  std::string pixelHeight;  // micrometres
  struct Mode {
    std::string rate, width, height;
  };
  std::vector<Mode> modes;
};

// The camera the texts describe (rate texts as the reader would give them back) with every
// reason it cannot be written yet, in field order.
struct DraftReading {
  CameraDefinition camera;
  std::vector<CameraIssue> issues;
};
DraftReading ReadCameraDraft(const CameraDraft& draft);

// Modes pasted from a spreadsheet or a text: one per line, fields split at tabs, else at commas,
// else at runs of blanks; rate, width, height, further fields ignored, missing ones empty. Blank
// lines and lines without a digit (column headings) are passed over.
std::vector<CameraDraft::Mode> ModesFromText(std::string_view text);

// Every reason the camera cannot be written, in field order; empty when it can be.
std::vector<CameraIssue> CheckCameraForWriting(const CameraDefinition& camera);

// The shortest micrometre text that reads back (times 1e-6) to exactly `pitchMeters`, if any.
std::optional<std::string> PixelPitchText(double pitchMeters);

// The text of a camera file that reads back to `camera`: a comment naming `writtenBy`, the name,
// the pixel size, one line per mode. Each mode's rate text comes back as the decimal text of its
// rate; the path is not part of the file. Nothing when CheckCameraForWriting finds a problem.
std::optional<std::string> WriteCameraText(const CameraDefinition& camera, std::string_view writtenBy);

struct CameraWriteResult {
  bool written = false;
  std::string message;  // why not, naming the file
};

// Writes the camera file at `path` atomically: into a new file beside it, renamed over `path`
// only once complete, so a failure leaves any old file as it was.
CameraWriteResult WriteCameraFile(const CameraDefinition& camera, const std::string& path, std::string_view writtenBy);

// "Could not write camera file PATH: REASON".
std::string WriteFailure(std::string_view path, std::string_view reason);

}  // namespace korvan
