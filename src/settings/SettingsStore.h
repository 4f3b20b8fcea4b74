#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "planner/PlannerInputs.h"

namespace korvan {

// Where the program keeps what it remembers between runs: the camera file loaded last, which is
// machine-wide, and the user's recent camera files. Every write replaces its file atomically, so
// an interrupted write leaves the previous file whole.
class SettingsStore {
 public:
  struct Locations {
    // The machine-wide store: an INI file, or on Windows a registry key path. Empty: none.
    QString machineFile;
    // The user's own INI file: the recent files, and the last camera when the machine-wide store
    // cannot be written.
    QString userFile;
  };

  // The platform's places; the environment variable KORVAN_SETTINGS_DIR moves the machine-wide one.
  static Locations DefaultLocations();

  explicit SettingsStore(Locations locations);
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // The value "Last Camera"; nothing when it is missing, not a string, or its file is damaged or
  // unreadable.
  std::optional<QString> LastCamera() const;

  // Stores "Last Camera" machine-wide. When the machine-wide store cannot be written the value is
  // kept in the user's own settings instead, so a user without the rights still gets it back.
  // False only when neither could be written; the caller has nothing to report either way.
  bool SaveLastCamera(const QString& path);

  // At most 10 paths, most recent first; none from a damaged or unreadable file.
  QStringList RecentFiles() const;
  bool SaveRecentFiles(const QStringList& paths);

  // The setups opened or saved last, at most 4, most recent first; as the recent files are kept.
  QStringList RecentSetups() const;
  bool SaveRecentSetups(const QStringList& paths);

  // Whether the calculator reopens the inputs it had when it last ended; off unless the user
  // turned it on. The inputs are kept as a setup file beside the user's settings.
  bool RestoreInputs() const;
  bool SaveRestoreInputs(bool on);
  QString LastInputsFile() const;

  // The planner's inputs and lens kit, in the user's own settings. A value that is missing, not a
  // text, or one the planner would refuse keeps its default.
  planner::PlannerTexts PlannerTexts() const;
  bool SavePlannerTexts(const planner::PlannerTexts& texts);
  // The ISO typed for a camera, by its name; empty when none was kept or the one kept is damaged.
  std::string PlannerIso(const std::string& camera) const;
  bool SavePlannerIso(const std::string& camera, const std::string& iso);

  const Locations& locations() const { return locations_; }

 private:
  class File;

  Locations locations_;
  // Each file is opened once: whether it was damaged is only known when it is first read, since
  // a second reader of an unchanged file would be handed what the first one salvaged from it.
  std::unique_ptr<File> machine_;
  std::unique_ptr<File> user_;
};

}  // namespace korvan
