#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// File names travel through the program as UTF-8 text. These are the one place where such a
// text becomes a file system path and back: on Windows through UTF-16 (the wide-character API),
// never through the ANSI code page, which loses every character it lacks; elsewhere byte for byte.
namespace korvan {

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// Opens an existing file for reading its bytes unchanged (no line-end or end-of-file translation).
std::FILE* OpenForReadingBytes(const std::filesystem::path& path);

#ifdef _WIN32
// The conversions themselves; invalid sequences become U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
#endif

}  // namespace korvan
