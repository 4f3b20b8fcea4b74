#pragma once

#include <string>
#include <string_view>

namespace korvan::planner {

// Writes `content` to `path` through a temporary file in the same folder, renamed over `path`
// once it is complete and flushed, so a reader never sees a partial file. Returns an empty
// string on success, else one line naming the file and the reason ("Cannot write FILE: REASON").
// A failure leaves no new file and no temporary file; a file already at `path` stays as it was.
std::string WriteFileAtomically(const std::string& path, std::string_view content);

}  // namespace korvan::planner
