#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The host camera-control application's launch message: "x,<model>,<rate>,<width>,<height>,<shutter>".
namespace korvan {

struct HostLaunchRequest {
  std::string cameraName;  // the model name exactly as sent
  std::string cameraFile;  // bare file name from the host camera table
  std::int32_t frameRate = 0;
  std::int32_t imageHeight = 0;
  std::int32_t imageWidth = 0;
  std::int32_t shutterMultiple = 0;  // position in the shutter list counted from 1
  bool valid = false;
};

struct HostCameraEntry {
  char modelName[80];
  char cameraFileName[80];  // empty: the calculator has no camera file for this model
};

// 41 model rows and a closing row whose fields are both empty.
inline constexpr std::size_t kHostCameraRows = 41;
extern const HostCameraEntry hostCameraTable[kHostCameraRows + 1];

// Only a command-line argument of this many characters or more is handed to the parser.
inline constexpr std::size_t kMinLaunchArgumentLength = 8;

inline constexpr std::string_view kLaunchFormatError =
    "Improperly formatted message from Korvan.  Unable to load current settings.";
inline constexpr std::string_view kLaunchUnknownCamera =
    "Unrecognized camera sent from Korvan.  Unable to load current settings.";
inline constexpr std::string_view kLaunchCaption = "Error";

// Messages of applying a request in the calculator window.
inline constexpr std::string_view kLaunchCannotOpenFile = "Could not open file passed from Korvan, ";
inline constexpr std::string_view kLaunchBadFile = "Improperly formatted file passed from Korvan, ";
inline constexpr std::string_view kLaunchUnknownFrameRate = "Unrecognized frame rate sent from Korvan.  Using default.";
inline constexpr std::string_view kLaunchUnknownResolution =
    "Unrecognized resolution sent from Korvan.  Using default.";

enum class LaunchParseStatus {
  NotALaunchMessage,  // no comma at all: ignored silently
  Accepted,
  FormatError,
  UnknownCamera,
};

struct LaunchParseResult {
  LaunchParseStatus status = LaunchParseStatus::NotALaunchMessage;
  std::string message;          // the message to show, empty when there is none
  HostLaunchRequest request;    // filled and valid only when Accepted
};

// The camera file the table gives for a model (exact, case-sensitive); empty when the model is
// unknown or has no file.
std::string_view LookUpHostCamera(std::string_view modelName);

LaunchParseResult ParseLaunchMessage(std::string_view message);

// The host's shutter setting clamped to the shutter list's 1..20.
std::int32_t ClampHostShutter(std::int32_t shutterMultiple);

}  // namespace korvan
