#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace korvan {

// The most recently loaded camera files, most recent first, each path once, at most `capacity`.
class RecentFileList {
 public:
  explicit RecentFileList(std::size_t capacity = 10) : capacity_(capacity) {}

  // Puts `path` at the head, moving it there if it is already listed.
  void Add(const std::string& path);
  void Remove(const std::string& path);
  // Replaces the entries with those stored, skipping empty and repeated ones.
  void Load(const std::vector<std::string>& stored);

  const std::vector<std::string>& Entries() const { return entries_; }
  std::size_t Capacity() const { return capacity_; }

  // One entry per place in the list, empty where a place is unused.
  std::vector<std::string> FileNames() const;

 private:
  std::size_t capacity_;
  std::vector<std::string> entries_;
};

// `path` made absolute against the current directory and without "." and ".." steps, so that a
// file is listed under one name from wherever the program starts; `path` itself when the current
// directory cannot be read. Symbolic links are kept as they are.
std::string AbsoluteNormalPath(const std::string& path);

}  // namespace korvan
