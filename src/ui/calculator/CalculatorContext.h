#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QStringList>

#include "ui/planner/PlannerContext.h"

class QWidget;

namespace korvan {

class MessageSink;
struct HostLaunchRequest;

// What the calculator window needs from the application around it. The application fills it in;
// tests put recording versions in its place.
struct CalculatorContext {
  // The host application's launch settings; the last camera is restored instead when there is
  // none or it is not valid. Applying it clamps its shutter setting in place.
  HostLaunchRequest* launchRequest = nullptr;
  // Where the window's messages go; the warning message boxes when null.
  MessageSink* messages = nullptr;
  // Runs after a camera file loaded successfully, with its path as the file system spells it:
  // the place to remember the last camera and to put the file at the head of the recent files.
  std::function<void(const std::string& path)> cameraLoaded;
  // The path of the camera file loaded last, as it was stored; nothing when none is remembered.
  std::function<std::optional<std::string>()> lastCamera;
  // The recent camera files, most recent first, one entry per place of the list (empty where a
  // place is unused).
  std::function<std::vector<std::string>()> recentFileNames;
  // Asks for camera files to add ("Select..."): their full paths, or nothing when cancelled.
  // The camera open-file dialog when empty.
  std::function<std::optional<QStringList>(QWidget* owner)> chooseCameraFiles;
  // Where the camera editor saves a file, and whether it may replace one; a save dialog and a
  // question box when empty.
  std::function<std::optional<QString>(QWidget* owner, const QString& suggested)> chooseCameraSavePath;
  std::function<bool(QWidget* owner, const QString& question)> confirmReplace;
  // The setup file to open and the one to save to; the file dialogs when empty.
  std::function<std::optional<QString>(QWidget* owner)> chooseSetupFile;
  std::function<std::optional<QString>(QWidget* owner)> chooseSetupSavePath;
  // The setups opened or saved last, most recent first; and a setup just opened or saved (put at
  // the head) or found missing (taken off), with `keep` telling which.
  std::function<std::vector<std::string>()> recentSetups;
  std::function<void(const std::string& path, bool keep)> rememberSetup;
  // "Restore Inputs at Start": whether it is on and where the choice is kept; and the setup file
  // the inputs are kept in while it is on (empty: nowhere, and the item is disabled).
  std::function<bool()> restoreInputs;
  std::function<void(bool on)> saveRestoreInputs;
  std::string lastInputsFile;
  // What the planner window is given: its stored inputs and where its messages and sheets go.
  PlannerContext planner;
};

}  // namespace korvan
