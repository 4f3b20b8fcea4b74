#include "camera/CameraFile.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <filesystem>
#include <memory>

#include "camera/Utf8Path.h"
#include "optics/NumberText.h"

namespace korvan {
namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kWhiteSpace);
  return text.substr(first, last - first + 1);
}

// Only regular files are read: a directory, a device or a pipe could block or never end.
// The test and the open see the same file: one conversion of the name serves both.
// `reason`, when given, receives the operating system's word for a failure.
std::FILE* OpenForReading(const std::string& path, std::string* reason = nullptr) {
  const auto fail = [reason](std::errc code) -> std::FILE* {
    if (reason != nullptr) *reason = std::make_error_code(code).message();
    return nullptr;
  };
  if (path.empty()) return fail(std::errc::no_such_file_or_directory);
  const std::filesystem::path name = PathFromUtf8(path);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(name, error);
  if (!std::filesystem::exists(status)) {
    if (error && reason != nullptr) *reason = error.message();
    return error ? nullptr : fail(std::errc::no_such_file_or_directory);
  }
  if (std::filesystem::is_directory(status)) return fail(std::errc::is_a_directory);
  if (!std::filesystem::is_regular_file(status)) {
    if (reason != nullptr) *reason = "Not a regular file";
    return nullptr;
  }
  errno = 0;
  std::FILE* file = OpenForReadingBytes(name);
  if (file == nullptr && reason != nullptr) *reason = std::generic_category().message(errno != 0 ? errno : EACCES);
  return file;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

CameraReadResult Refused(CameraReadStatus status, std::string_view message, std::string_view subject) {
  CameraReadResult result;
  result.status = status;
  result.message.reserve(message.size() + subject.size());
  result.message.append(message).append(subject);
  return result;
}

}  // namespace

LineSource::LineSource(std::string_view text) : text_(text), eof_(true) {}

LineSource::LineSource(std::FILE* file) : file_(file), buffer_(65536) {}

bool LineSource::Fill() {
  if (eof_ || failed_ || file_ == nullptr) return false;
  const std::size_t n = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (n < buffer_.size()) {
    if (std::ferror(file_)) failed_ = true;
    eof_ = true;
  }
  begin_ = 0;
  end_ = n;
  return n > 0;
}

bool LineSource::ReadLine(std::string& line) {
  line.clear();
  if (file_ == nullptr) {
    if (text_.empty()) return false;
    const std::size_t lf = text_.find('\n');
    std::string_view piece = text_.substr(0, lf);
    text_ = lf == std::string_view::npos ? std::string_view() : text_.substr(lf + 1);
    if (lf != std::string_view::npos && !piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
    line.assign(piece);
    return true;
  }

  bool any = false;
  for (;;) {
    if (begin_ == end_ && !Fill()) break;
    any = true;
    const char* start = buffer_.data() + begin_;
    const void* lf = std::memchr(start, '\n', end_ - begin_);
    if (lf == nullptr) {
      line.append(start, end_ - begin_);
      begin_ = end_;
      continue;
    }
    const std::size_t length = static_cast<const char*>(lf) - start;
    line.append(start, length);
    begin_ += length + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }
  if (failed_) return false;
  return any;
}

bool ReadSignificantLine(LineSource& source, std::string& line) {
  std::string raw;
  while (source.ReadLine(raw)) {
    const std::string_view trimmed = Trim(raw);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    line.assign(trimmed);
    return true;
  }
  return false;
}

CameraReadResult ReadCameraLines(LineSource& source, const std::string& path) {
  std::string name;
  if (!ReadSignificantLine(source, name)) {
    if (source.Failed()) return Refused(CameraReadStatus::ReadError, kNoPixelLineMessage, path);
    return Refused(CameraReadStatus::Empty, kEmptyCameraMessage, path);
  }

  CameraDefinition camera;
  camera.name = name;
  camera.filePath = path;

  std::string pixelLine;
  if (!ReadSignificantLine(source, pixelLine)) {
    return Refused(source.Failed() ? CameraReadStatus::ReadError : CameraReadStatus::NoPixelLine,
                   kNoPixelLineMessage, path);
  }
  const std::size_t pixelComma = pixelLine.find(',');
  if (pixelComma == std::string::npos) return Refused(CameraReadStatus::BadPixelLine, kBadPixelLineMessage, pixelLine);
  const double pixelWidthUm = ParseDouble(std::string_view(pixelLine).substr(0, pixelComma));
  const double pixelHeightUm = ParseDouble(std::string_view(pixelLine).substr(pixelComma + 1));

  bool badlyFormatted = false;
  std::string line;
  while (ReadSignificantLine(source, line)) {
    const std::string_view text = line;
    const std::size_t first = text.find(',');
    if (first == std::string_view::npos) {
      badlyFormatted = true;
      break;
    }
    camera.rateTexts.emplace_back(text.substr(0, first));
    camera.frameRates.push_back(static_cast<std::uint32_t>(ParseInt(text.substr(0, first))));
    const std::string_view rest = text.substr(first + 1);
    const std::size_t second = rest.find(',');
    if (second == std::string_view::npos) {
      badlyFormatted = true;
      break;
    }
    camera.widthsPx.push_back(static_cast<std::uint32_t>(ParseInt(rest.substr(0, second))));
    camera.heightsPx.push_back(static_cast<std::uint32_t>(ParseInt(rest.substr(second + 1))));
  }
  if (source.Failed()) return Refused(CameraReadStatus::ReadError, kNoPixelLineMessage, path);

  if (badlyFormatted) {
    CameraReadResult result;
    result.status = CameraReadStatus::BadModeLine;
    result.message = kBadModeLineMessage;
    return result;
  }
  if (camera.ModeCount() == 0) return Refused(CameraReadStatus::NoModes, kNoModesMessage, path);

  camera.pixelPitchX = pixelWidthUm * 1e-6;
  camera.pixelPitchY = pixelHeightUm * 1e-6;
  CameraReadResult result;
  result.status = CameraReadStatus::Loaded;
  result.camera = std::move(camera);
  return result;
}

CameraReadResult ReadCameraFile(const std::string& path) {
  const FileHandle file(OpenForReading(path));
  if (!file) return Refused(CameraReadStatus::CannotOpen, kCannotOpenCameraMessage, path);
  LineSource source(file.get());
  return ReadCameraLines(source, path);
}

std::string CameraFileOpenFailure(const std::string& path) {
  std::string reason;
  const FileHandle file(OpenForReading(path, &reason));
  return file ? std::string() : reason;
}

CameraNameResult ReadCameraName(const std::string& path) {
  CameraNameResult result;
  const FileHandle file(OpenForReading(path));
  if (!file) return result;
  result.opened = true;
  LineSource source(file.get());
  std::string name;
  if (ReadSignificantLine(source, name)) result.name = std::move(name);
  return result;
}

}  // namespace korvan
