#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace korvan::testing {

// The camera of the file-format example: 12 micrometre pixels, 1280 x 1024 at 250 and 500 fps,
// 640 x 512 at 500 and 1000 fps.
inline constexpr std::string_view kBenchCamera =
    "# bench camera, calibrated\n"
    "\n"
    "Bench Camera 1\n"
    "12, 12\n"
    "250,1280,1024\n"
    "500,1280,1024\n"
    "  # reduced image from 500 fps\n"
    "500,640,512\n"
    "1000,640,512\n";

// A fresh directory for the files one test writes, removed with it.
class TempFiles {
 public:
  TempFiles() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvan-test-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
  }
  ~TempFiles() { std::filesystem::remove_all(dir_); }
  TempFiles(const TempFiles&) = delete;
  TempFiles& operator=(const TempFiles&) = delete;

  std::string Write(const std::string& name, std::string_view content) const {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

}  // namespace korvan::testing
