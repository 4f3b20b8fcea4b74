#include "app/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QVariant>
#include <functional>

namespace korvan {
namespace {

// The key path and value name the program has always used; on Windows they name a registry value.
#ifdef Q_OS_WIN
constexpr char kMachineKey[] = "HKEY_LOCAL_MACHINE\\Software\\Varnholt\\Korvan\\Optavel";
#endif
constexpr char kLastCameraInIni[] = "Software/Varnholt/Korvan/Optavel/Last Camera";
constexpr char kLastCameraValue[] = "Last Camera";
constexpr char kRecentGroup[] = "Recent File List";
constexpr int kRecentCapacity = 10;

bool IsRegistryPath(const QString& location) { return location.startsWith(QLatin1String("HKEY_")); }

QSettings::Format FormatOf(const QString& location) {
  return IsRegistryPath(location) ? QSettings::NativeFormat : QSettings::IniFormat;
}

QString RecentKey(int index) { return QStringLiteral("File%1").arg(index + 1); }

}  // namespace

// One settings file (or registry key). Reads go through the reader opened first; every write goes
// through a fresh writer so that its status tells about that write alone. QSettings replaces the
// file through a temporary file and a rename, so a write that fails half-way changes nothing.
// The file is first read when its first value is wanted, not when the store is made: another copy
// of the program may change it while this one still shows its start-up picture.
class SettingsStore::File {
 public:
  explicit File(QString location) : location_(std::move(location)) {
    // Registry stores are the key itself; INI files hold the key path.
    lastCameraKey_ = QString::fromLatin1(IsRegistryPath(location_) ? kLastCameraValue : kLastCameraInIni);
  }

  bool Readable() const { return Open() && !damaged_; }

  std::optional<QString> LastCamera() const {
    if (!Readable()) return std::nullopt;
    const QVariant value = reader_->value(lastCameraKey_);
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    return value.toString();
  }

  bool HasLastCamera() const { return Readable() && reader_->contains(lastCameraKey_); }

  QStringList RecentFiles() const {
    QStringList paths;
    if (!Readable()) return paths;
    for (int i = 0; i < kRecentCapacity; ++i) {
      const QVariant value = reader_->value(QLatin1String(kRecentGroup) + QLatin1Char('/') + RecentKey(i));
      if (value.typeId() == QMetaType::QString && !value.toString().isEmpty()) paths << value.toString();
    }
    return paths;
  }

  bool Write(const std::function<void(QSettings&)>& change) {
    if (!Open()) return false;
    QSettings writer(location_, FormatOf(location_));
    writer.setAtomicSyncRequired(true);
    // What a damaged file still yielded is not trusted: the file is written afresh.
    if (damaged_) writer.clear();
    change(writer);
    writer.sync();
    const bool written = writer.status() == QSettings::NoError;
    if (written) damaged_ = false;
    return written;
  }

  const QString& LastCameraKey() const { return lastCameraKey_; }

 private:
  // False when there is no such store.
  bool Open() const {
    if (location_.isEmpty()) return false;
    if (!reader_) {
      reader_ = std::make_unique<QSettings>(location_, FormatOf(location_));
      damaged_ = reader_->status() != QSettings::NoError;
    }
    return true;
  }

  QString location_;
  QString lastCameraKey_;
  mutable std::unique_ptr<QSettings> reader_;
  mutable bool damaged_ = false;
};

SettingsStore::SettingsStore(Locations locations)
    : locations_(std::move(locations)),
      machine_(std::make_unique<File>(locations_.machineFile)),
      user_(std::make_unique<File>(locations_.userFile)) {}

SettingsStore::~SettingsStore() = default;

SettingsStore::Locations SettingsStore::DefaultLocations() {
  Locations locations;
  const QString dir = qEnvironmentVariable("KORVAN_SETTINGS_DIR");
  if (!dir.isEmpty()) {
    locations.machineFile = dir + QLatin1String("/Korvan.ini");
  } else {
#ifdef Q_OS_WIN
    locations.machineFile = QString::fromLatin1(kMachineKey);
#else
    locations.machineFile = QStringLiteral("/etc/xdg/Varnholt/Korvan.ini");
#endif
  }
  locations.userFile = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QLatin1String("/Varnholt/Korvan Lens Calculator.ini");
  return locations;
}

std::optional<QString> SettingsStore::LastCamera() const {
  // A value the user's settings hold was stored there because the machine-wide store refused it,
  // so it is the more recent of the two.
  if (auto own = user_->LastCamera()) return own;
  return machine_->LastCamera();
}

bool SettingsStore::SaveLastCamera(const QString& path) {
  const auto store = [&path](File& file) {
    return file.Write([&](QSettings& settings) { settings.setValue(file.LastCameraKey(), path); });
  };
  if (store(*machine_)) {
    // The user's fallback value would otherwise hide this newer machine-wide one.
    if (user_->HasLastCamera()) {
      user_->Write([this](QSettings& settings) { settings.remove(user_->LastCameraKey()); });
    }
    return true;
  }
  return store(*user_);
}

QStringList SettingsStore::RecentFiles() const { return user_->RecentFiles(); }

bool SettingsStore::SaveRecentFiles(const QStringList& paths) {
  return user_->Write([&paths](QSettings& settings) {
    settings.remove(QLatin1String(kRecentGroup));
    settings.beginGroup(QLatin1String(kRecentGroup));
    for (int i = 0; i < paths.size() && i < kRecentCapacity; ++i) settings.setValue(RecentKey(i), paths[i]);
    settings.endGroup();
  });
}

}  // namespace korvan
