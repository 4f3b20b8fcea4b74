#include "settings/RecentFileList.h"

#include "camera/Utf8Path.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace korvan {

void RecentFileList::Add(const std::string& path) {
  if (path.empty() || capacity_ == 0) return;
  entries_.erase(std::remove(entries_.begin(), entries_.end(), path), entries_.end());
  entries_.insert(entries_.begin(), path);
  if (entries_.size() > capacity_) entries_.resize(capacity_);
}

void RecentFileList::Remove(const std::string& path) {
  entries_.erase(std::remove(entries_.begin(), entries_.end(), path), entries_.end());
}

void RecentFileList::Load(const std::vector<std::string>& stored) {
  entries_.clear();
  for (const std::string& path : stored) {
    if (entries_.size() == capacity_) break;
    if (path.empty() || std::find(entries_.begin(), entries_.end(), path) != entries_.end()) continue;
    entries_.push_back(path);
  }
}

std::vector<std::string> RecentFileList::FileNames() const {
  std::vector<std::string> names(capacity_);
  std::copy(entries_.begin(), entries_.end(), names.begin());
  return names;
}

std::string AbsoluteNormalPath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(PathFromUtf8(path), error);
  if (error) return path;
  return Utf8FromPath(absolute.lexically_normal());
}

}  // namespace korvan
