#pragma once

#include <functional>
#include <optional>

#include <QString>

#include "planner/PlannerInputs.h"
#include "ui/planner/SheetExport.h"

class QWidget;

namespace korvan {

class MessageSink;

// What the planner window needs from around it; tests put recording versions in its place.
struct PlannerContext {
  // Where its messages go; the warning message boxes when null.
  MessageSink* messages = nullptr;
  // The inputs and lens kit as stored last; the defaults when empty.
  std::function<planner::PlannerTexts()> loadTexts;
  // Keeps the inputs and lens kit for the next start.
  std::function<void(const planner::PlannerTexts&)> saveTexts;
  // The ISO kept for a camera name ("" when none), and keeping it; the ISO is not kept when empty.
  std::function<std::string(const std::string& camera)> loadIso;
  std::function<void(const std::string& camera, const std::string& iso)> saveIso;
  // Asks for the sheet's file, form and note (the last note offered); nothing when cancelled.
  // The file dialog and a note box when empty.
  std::function<std::optional<SheetRequest>(QWidget* owner, const QString& note)> chooseSheet;
  // Asks for a lens kit file to import (save false) or export to (save true); empty when cancelled.
  // The file dialog when empty.
  std::function<QString(QWidget* owner, bool save)> chooseKitFile;
};

}  // namespace korvan
