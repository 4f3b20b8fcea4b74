#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launch/LaunchMessage.h"
#include "settings/RecentFileList.h"
#include "settings/SettingsStore.h"
#include "ui/calculator/CalculatorContext.h"
#include "ui/widgets/MessageSink.h"

class QDialog;

namespace korvan {

class TerminationWatcher;

// The application object: runs the start-up sequence from the start-up picture to the end of the
// calculator window, holds the host's launch request and the recent camera files, and remembers
// the camera loaded last.
class CCalculatorApp : public QObject {
  Q_OBJECT

 public:
  struct CommandLine {
    bool splash = true;    // --no-splash skips the start-up picture, for scripted starts
    bool help = false;     // -h, --help
    bool version = false;  // --version
    // The first argument that is not an option; a launch message from the host when it is long
    // enough.
    std::optional<std::string> fileArgument;
  };
  // `arguments` without the program's name, as the command line spelled them.
  static CommandLine ReadCommandLine(const std::vector<std::string>& arguments);
  // What --help and --version print, on standard output.
  static std::string UsageText();
  static std::string VersionText();

  // `messages` null: message boxes.
  explicit CCalculatorApp(SettingsStore::Locations settings, MessageSink* messages = nullptr);
  ~CCalculatorApp() override;

  // The whole run: start-up picture, recent files, launch message, the calculator window until it
  // ends, and the recent files written back. The process's exit code.
  int Run(const CommandLine& commandLine);

  // The steps of the run, each usable on its own.
  void LoadRecentFiles();
  void SaveRecentFiles();
  // Hands the file argument to ParseLaunchMessage when it is long enough to be a launch message.
  void HandleFileArgument(const std::optional<std::string>& argument);
  static bool IsSetupFile(const std::string& argument);
  void ParseLaunchMessage(const std::string& message);

  // One entry per place of the recent-file list (10), empty where a place is unused.
  void GetRecentFileNames(std::vector<std::string>& list) const;
  const RecentFileList& RecentFiles() const { return recentFiles_; }

  // After a camera file loaded: it becomes the last camera and heads the recent files.
  void OnCameraLoaded(const std::string& path);

  // What the calculator window is given of the application.
  CalculatorContext MakeContext();

  // Ends the run as Quit does, whatever window is open: nested boxes are closed first and later
  // messages are not shown, so the recent files are written and the process ends cleanly.
  void RequestQuit();
  bool QuitRequested() const { return quitRequested_; }

  SettingsStore& Settings() { return settings_; }
  MessageSink& Messages() { return quitAwareMessages_; }

  // The host's launch settings; valid only after a well-formed launch message.
  HostLaunchRequest launchRequest;

 private:
  // Drops every message once the run is ending, so no new modal box holds the process up.
  class QuitAwareSink final : public MessageSink {
   public:
    QuitAwareSink(MessageSink* inner, const bool* quitRequested) : inner_(inner), quitRequested_(quitRequested) {}
    void Show(QWidget* owner, const QString& caption, const QString& text) override;

   private:
    MessageSink* inner_;
    const bool* quitRequested_;
  };

  SettingsStore settings_;
  RecentFileList recentFiles_{10};
  bool recentFilesLoaded_ = false;
  bool quitRequested_ = false;
  QuitAwareSink quitAwareMessages_;
  QDialog* mainWindow_ = nullptr;
  std::optional<std::string> setupArgument_;  // a setup file named at start, opened in the window
  TerminationWatcher* terminationWatcher_ = nullptr;
};

}  // namespace korvan
