#pragma once

#include <string>
#include <string_view>

#include "camera/AtomicFile.h"

namespace korvan::planner {

// The setup sheet written as ReplaceFileAtomically writes any file. Returns an empty string on
// success, else one line naming the file and the reason ("Cannot write FILE: REASON").
inline std::string WriteFileAtomically(const std::string& path, std::string_view content) {
  const std::string reason = ReplaceFileAtomically(path, content);
  return reason.empty() ? reason : "Cannot write " + path + ": " + reason;
}

}  // namespace korvan::planner
