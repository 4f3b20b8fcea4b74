#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "camera/CameraDefinition.h"

namespace korvan {

// Lines of a camera file or of text in memory, read as a text-mode file reads them: a line ends
// at a line feed, a carriage return before it is dropped, and the last line needs no line feed.
class LineSource {
 public:
  explicit LineSource(std::string_view text);  // the text must outlive the source
  explicit LineSource(std::FILE* file);        // not owned
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;

  // False at the end of the input or on a read error (see Failed).
  bool ReadLine(std::string& line);
  bool Failed() const { return failed_; }

 private:
  bool Fill();

  std::string_view text_;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;  // only for a file
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool failed_ = false;
};

// The next line that is neither blank nor a comment ("#" as its first character after leading
// white space), trimmed of white space at both ends. False at the end of the input.
bool ReadSignificantLine(LineSource& source, std::string& line);

// The messages of a camera load; most are followed by the path or the offending line.
inline constexpr std::string_view kCannotOpenCameraMessage = "Error accessing camera file ";
inline constexpr std::string_view kEmptyCameraMessage = "Empty file, ";
inline constexpr std::string_view kNoPixelLineMessage = "Error reading from file, ";
inline constexpr std::string_view kBadPixelLineMessage = "Badly formatted file, ";
inline constexpr std::string_view kBadModeLineMessage = "Badly formatted camera file.\nUsing generic camera data.";
// A file with a name and a pixel size but no mode offers nothing to compute with; it is refused
// instead of leaving the calculator without a sensor.
inline constexpr std::string_view kNoModesMessage = "No camera modes in file, ";

enum class CameraReadStatus {
  Loaded,        // the file's camera
  BadModeLine,   // a mode line lacks a comma: the generic camera takes over
  CannotOpen,    // missing, unreadable, or not a regular file
  Empty,         // no significant line
  NoPixelLine,   // nothing after the name
  BadPixelLine,  // the pixel-size line has no comma
  NoModes,       // name and pixel size but no mode line
  ReadError,     // the file could be opened but not read to its end
};

struct CameraReadResult {
  CameraReadStatus status = CameraReadStatus::CannotOpen;
  std::string message;      // empty when Loaded
  CameraDefinition camera;  // complete when Loaded
  bool Accepted() const { return status == CameraReadStatus::Loaded || status == CameraReadStatus::BadModeLine; }
};

// Reads a camera file as the window's load does; `path` becomes the record's filePath.
CameraReadResult ReadCameraFile(const std::string& path);

// The same from lines already at hand; `path` is only used in messages and as filePath.
CameraReadResult ReadCameraLines(LineSource& source, const std::string& path);

// Why `path` cannot be opened for reading, in the operating system's words ("No such file or
// directory", "Permission denied"); empty when it can. The windows keep their own messages; the
// command adds this one.
std::string CameraFileOpenFailure(const std::string& path);

// The camera name of a file (its first significant line), as the catalogue lists files.
struct CameraNameResult {
  bool opened = false;
  std::optional<std::string> name;
};
CameraNameResult ReadCameraName(const std::string& path);

}  // namespace korvan
