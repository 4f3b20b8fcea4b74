#include "planner/AtomicFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace korvan::planner {
namespace {

namespace fs = std::filesystem;

std::string Failure(const std::string& path, const std::string& reason) { return "Cannot write " + path + ": " + reason; }

std::string ErrnoText(int error) { return std::strerror(error); }

bool FlushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return ::fsync(fileno(file)) == 0;
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
  std::string name(1, '.');
  name.append(target.filename().string()).append(1, '.').append(std::to_string(process));
  name.append(1, '-').append(std::to_string(ticks % 1000000007)).append(1, '-');
  name.append(std::to_string(++counter + attempt)).append(".tmp");
  fs::path temporary = target;
  temporary.replace_filename(name);
  return temporary;
}

}  // namespace

std::string WriteFileAtomically(const std::string& path, std::string_view content) {
  const fs::path target(path);
  if (target.filename().empty()) return Failure(path, "no file name");
  std::error_code error;
  const fs::file_status status = fs::status(target, error);
  if (fs::is_directory(status)) return Failure(path, ErrnoText(EISDIR));
#ifndef _WIN32
  // rename() would replace a read-only file; a file the user may not write to stays as it is.
  if (fs::exists(status) && ::access(path.c_str(), W_OK) != 0) return Failure(path, ErrnoText(errno));
#endif

  std::FILE* file = nullptr;
  fs::path temporary;
  for (int attempt = 0; attempt < 16 && !file; ++attempt) {
    temporary = TemporaryBeside(target, attempt);
    errno = 0;
    file = std::fopen(temporary.string().c_str(), "wbx");  // "x": never reuse an existing file
    if (!file && errno != EEXIST) break;
  }
  if (!file) return Failure(path, ErrnoText(errno == 0 ? EIO : errno));

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
    return Failure(path, ErrnoText(writeError == 0 ? EIO : writeError));
  }

  fs::rename(temporary, target, error);
  if (error) {
    const std::string reason = error.message();
    fs::remove(temporary, error);
    return Failure(path, reason);
  }
  return {};
}

}  // namespace korvan::planner
