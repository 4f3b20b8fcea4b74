#pragma once

#include <string_view>

// Texts of the camera catalogue: restoring the last camera, and the files chosen with "Select...".
namespace korvan {

inline constexpr std::string_view kRestoreCannotOpenMessage = "Error opening last used camera file: ";
inline constexpr std::string_view kRestoreEmptyMessage = "Last camera file appears empty, ";
// Follows the path in both restore messages.
inline constexpr std::string_view kRestoreFallbackSuffix = "\nUsing the default generic camera.";

// A chosen file without a name is reported as a load reports it (kEmptyCameraMessage).
inline constexpr std::string_view kSelectCannotOpenMessage = "Could not open file ";

// The About item of the window's system menu, and the command it sends; the low four bits of a
// system command are the window system's own, so 16 to 31 all mean About.
inline constexpr std::string_view kAboutMenuText = "&About Korvan Lens Calculator...";
inline constexpr unsigned kAboutCommandId = 16;

}  // namespace korvan
