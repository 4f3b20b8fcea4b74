#pragma once

#include <QString>
#include <QStringList>

namespace korvan {

// While the application object is made: when no display can be opened, Qt gives up with a
// message about reinstalling the program and aborts. With this guard alive the program instead
// says in one line that there is no display and points to the command-line calculator, and ends
// with status 1. Qt's other start-up messages are held back until Release (or the end of the guard)
// passes them on, so that the one line stays alone.
class NoDisplayGuard {
 public:
  NoDisplayGuard();
  ~NoDisplayGuard();
  NoDisplayGuard(const NoDisplayGuard&) = delete;
  NoDisplayGuard& operator=(const NoDisplayGuard&) = delete;

  void Release();
};

inline constexpr char kNoDisplayMessage[] =
    "korvan-lens-calculator: no display found (DISPLAY or WAYLAND_DISPLAY names none that can be "
    "opened); korvan-lens is the command-line calculator";

}  // namespace korvan
