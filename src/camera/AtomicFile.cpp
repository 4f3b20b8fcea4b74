#include "camera/AtomicFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "camera/Utf8Path.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace korvan {
namespace {

namespace fs = std::filesystem;

std::string ErrnoText(int error) { return std::strerror(error); }

bool FlushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  // On a full disk or a network share the data may only fail to reach the disk here.
  return ::fsync(fileno(file)) == 0;
#endif
}

// "x": never reuse a file that is already there, someone else's temporary included.
std::FILE* CreateNew(const fs::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wbx");
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

// A name beside the target that no other writer picks: the process, the time and a counter.
fs::path TemporaryBeside(const fs::path& target, int attempt) {
  static unsigned counter = 0;
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
#ifdef _WIN32
  const long process = static_cast<long>(_getpid());
#else
  const long process = static_cast<long>(::getpid());
#endif
  std::string suffix(1, '.');
  suffix.append(std::to_string(process)).append(1, '-').append(std::to_string(ticks % 1000000007));
  suffix.append(1, '-').append(std::to_string(++counter + attempt)).append(".tmp");
  fs::path temporary = target;
  std::string name(1, '.');
  name.append(Utf8FromPath(target.filename())).append(suffix);
  temporary.replace_filename(PathFromUtf8(name));
  return temporary;
}

}  // namespace

std::string ReplaceFileAtomically(const std::string& path, std::string_view content) {
  const fs::path target = PathFromUtf8(path);
  if (target.filename().empty()) return "no file name";
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  if (fs::is_directory(status)) return ErrnoText(EISDIR);
#ifndef _WIN32
  // rename() would replace a read-only file; a file the user may not write to stays as it is.
  if (fs::exists(status) && ::access(path.c_str(), W_OK) != 0) return ErrnoText(errno);
#endif

  std::FILE* file = nullptr;
  fs::path temporary;
  for (int attempt = 0; attempt < 16 && !file; ++attempt) {
    temporary = TemporaryBeside(target, attempt);
    errno = 0;
    file = CreateNew(temporary);
    if (!file && errno != EEXIST) break;
  }
  if (!file) return ErrnoText(errno == 0 ? EIO : errno);

  bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  int writeError = written ? 0 : errno;
  if (written && !FlushToDisk(file)) {
    written = false;
    writeError = errno;
  }
  if (std::fclose(file) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (!written) {
    fs::remove(temporary, error);
    return ErrnoText(writeError == 0 ? EIO : writeError);
  }
  if (fs::exists(status)) fs::permissions(temporary, status.permissions(), error);

  fs::rename(temporary, target, error);
  if (error) {
    const std::string reason = error.message();
    fs::remove(temporary, error);
    return reason;
  }
  return {};
}

}  // namespace korvan
