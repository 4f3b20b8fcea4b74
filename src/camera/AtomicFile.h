#pragma once

#include <string>
#include <string_view>

namespace korvan {

// Replaces the file at `path` (UTF-8) with `content` through a temporary file in the same folder,
// renamed over `path` once it is complete and flushed, so that a reader never sees a partial file.
// Returns an empty string on success, else the reason (the system's text for the error). A failure
// leaves no new file and no temporary file, and a file already at `path` stays as it was; a
// replaced file keeps who may read and write it.
std::string ReplaceFileAtomically(const std::string& path, std::string_view content);

}  // namespace korvan
