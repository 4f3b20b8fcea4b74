#pragma once

#include <functional>
#include <string>

namespace korvan {

class MessageSink;
struct HostLaunchRequest;

// What the calculator window needs from the application around it. The application fills it in;
// tests put recording versions in its place.
struct CalculatorContext {
  // The host application's launch settings; the last camera is restored instead when there is
  // none or it is not valid.
  const HostLaunchRequest* launchRequest = nullptr;
  // Where the window's messages go; the warning message boxes when null.
  MessageSink* messages = nullptr;
  // Runs after a camera file loaded successfully, with its path as the file system spells it:
  // the place to remember the last camera and to put the file at the head of the recent files.
  std::function<void(const std::string& path)> cameraLoaded;
};

}  // namespace korvan
