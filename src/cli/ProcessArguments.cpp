#include "cli/ProcessArguments.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>

#include "camera/Utf8Path.h"
#endif

namespace korvan::cli {

ProcessArguments::ProcessArguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    for (int i = 0; i < count; ++i) texts_.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
  } else {
    texts_.assign(argv, argv + argc);
  }
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#else
  texts_.assign(argv, argv + argc);
#endif
  for (const std::string& text : texts_) pointers_.push_back(text.c_str());
  pointers_.push_back(nullptr);
}

}  // namespace korvan::cli
