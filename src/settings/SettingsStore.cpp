#include "settings/SettingsStore.h"

#include <QByteArray>
#include <QDateTime>
#include <QFileInfo>
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
// The write time kept beside "Last Camera", so that of two stores the newer value wins.
constexpr char kWrittenSuffix[] = " Written";
constexpr char kRecentGroup[] = "Recent File List";
constexpr int kRecentCapacity = 10;
constexpr char kRecentSetupsGroup[] = "Recent Setups";
constexpr int kRecentSetupsCapacity = 4;
constexpr char kRestoreInputsKey[] = "Calculator/Restore Inputs";
constexpr char kPlannerGroup[] = "Planner";

// The planner's texts by the keys they are stored under.
struct PlannerKey {
  const char* key;
  std::string planner::PlannerTexts::*text;
};
constexpr PlannerKey kPlannerKeys[] = {
    {"Depth", &planner::PlannerTexts::depth},       {"Wavelength", &planner::PlannerTexts::wavelength},
    {"BlurLimit", &planner::PlannerTexts::blurLimit}, {"EventMs", &planner::PlannerTexts::eventMs},
    {"MemoryGb", &planner::PlannerTexts::memoryGb},  {"BitDepth", &planner::PlannerTexts::bitDepth},
    {"Lenses", &planner::PlannerTexts::lenses},
};

// A stored text the planner would refuse came from somewhere other than its own boxes: it is
// treated as damaged. The kit's entries are checked by the planner one by one, so any line of
// text will do for it.
bool Acceptable(const PlannerKey& key, const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  if (key.text == &planner::PlannerTexts::lenses) return true;
  planner::PlannerTexts texts;
  texts.*key.text = text;
  const planner::PlannerInputs inputs = planner::ReadPlannerInputs(texts, LengthUnit::Meters);
  for (const planner::PlannerValue* value : {&inputs.depth, &inputs.wavelength, &inputs.blurLimit, &inputs.eventMs,
                                             &inputs.memoryGb, &inputs.bitDepth}) {
    if (!value->Usable()) return false;
  }
  return true;
}

// The light inputs stored beside them; the ISO is kept per camera name instead.
struct LightKey {
  const char* key;
  std::string planner::LightTexts::*text;
};
constexpr LightKey kLightKeys[] = {
    {"MeterConstant", &planner::LightTexts::meterConstant}, {"Transmission", &planner::LightTexts::transmission},
    {"Lux", &planner::LightTexts::lux},                     {"LampLux", &planner::LightTexts::lampLux},
    {"LampDistance", &planner::LightTexts::lampDistance},   {"Lamps", &planner::LightTexts::lamps},
    {"Mains", &planner::LightTexts::mains},
};
constexpr char kIsoGroup[] = "PlannerIso";

// A light text or an ISO the planner would refuse is treated as damaged, as the planner's other texts.
bool AcceptableLight(std::string planner::LightTexts::*field, const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  planner::LightTexts texts;
  texts.*field = text;
  const planner::LightInputs in = planner::ReadLightInputs(texts, LengthUnit::Meters);
  for (const planner::PlannerValue* value : {&in.iso, &in.meterConstant, &in.transmission, &in.lux, &in.lampLux,
                                             &in.lampDistance, &in.lamps, &in.mains}) {
    if (!value->Usable()) return false;
  }
  return true;
}

// Camera names may hold any byte, slashes included, which a settings key cannot: the key is their hex.
QString IsoKey(const std::string& camera) {
  return QLatin1String(kIsoGroup) + QLatin1Char('/') +
         QString::fromLatin1(QByteArray::fromStdString(camera).toHex()) + QLatin1Char('_');
}

bool IsRegistryPath(const QString& location) { return location.startsWith(QLatin1String("HKEY_")); }

// The registry value is the one the 32-bit host application and earlier 32-bit versions read and
// write: a 64-bit build uses the registry's 32-bit view (WOW6432Node) too, so that all of them share it.
QSettings::Format FormatOf(const QString& location) {
#ifdef Q_OS_WIN
  if (IsRegistryPath(location)) return QSettings::Registry32Format;
#endif
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

  // When the value was written (UTC), kept beside it; nothing for a value written without one.
  std::optional<QDateTime> LastCameraWritten() const {
    if (!Readable()) return std::nullopt;
    const QDateTime written =
        QDateTime::fromString(reader_->value(lastCameraKey_ + kWrittenSuffix).toString(), Qt::ISODateWithMs);
    if (!written.isValid()) return std::nullopt;
    return written;
  }

  bool HasLastCamera() const { return Readable() && reader_->contains(lastCameraKey_); }

  QStringList RecentFiles(const char* group = kRecentGroup, int capacity = kRecentCapacity) const {
    QStringList paths;
    if (!Readable()) return paths;
    for (int i = 0; i < capacity; ++i) {
      const QVariant value = reader_->value(QLatin1String(group) + QLatin1Char('/') + RecentKey(i));
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

  // A list of paths under `group`, replacing the one stored.
  bool WriteList(const char* group, int capacity, const QStringList& paths) {
    return Write([&](QSettings& settings) {
      settings.remove(QLatin1String(group));
      settings.beginGroup(QLatin1String(group));
      for (int i = 0; i < paths.size() && i < capacity; ++i) settings.setValue(RecentKey(i), paths[i]);
      settings.endGroup();
    });
  }

  QVariant Value(const QString& key) const { return Readable() ? reader_->value(key) : QVariant(); }

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
  // The value written last wins: another user may have chosen a camera machine-wide after this
  // user's own value was kept. A value without a write time is older than one with; between two
  // without, the user's own was kept because the machine-wide store refused it, so it is newer.
  std::optional<QString> own = user_->LastCamera();
  std::optional<QString> shared = machine_->LastCamera();
  if (!own || !shared) return own ? own : shared;
  const std::optional<QDateTime> ownWritten = user_->LastCameraWritten();
  const std::optional<QDateTime> sharedWritten = machine_->LastCameraWritten();
  if (sharedWritten && (!ownWritten || *sharedWritten > *ownWritten)) return shared;
  return own;
}

bool SettingsStore::SaveLastCamera(const QString& path) {
  const auto store = [&path](File& file) {
    const QString written = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    return file.Write([&](QSettings& settings) {
      settings.setValue(file.LastCameraKey(), path);
      settings.setValue(file.LastCameraKey() + kWrittenSuffix, written);
    });
  };
  if (store(*machine_)) {
    // The user's fallback value would otherwise hide this newer machine-wide one.
    if (user_->HasLastCamera()) {
      user_->Write([this](QSettings& settings) {
        settings.remove(user_->LastCameraKey());
        settings.remove(user_->LastCameraKey() + kWrittenSuffix);
      });
    }
    return true;
  }
  return store(*user_);
}

QStringList SettingsStore::RecentFiles() const { return user_->RecentFiles(); }

bool SettingsStore::SaveRecentFiles(const QStringList& paths) {
  return user_->WriteList(kRecentGroup, kRecentCapacity, paths);
}

QStringList SettingsStore::RecentSetups() const { return user_->RecentFiles(kRecentSetupsGroup, kRecentSetupsCapacity); }

bool SettingsStore::SaveRecentSetups(const QStringList& paths) {
  return user_->WriteList(kRecentSetupsGroup, kRecentSetupsCapacity, paths);
}

bool SettingsStore::RestoreInputs() const {
  const QVariant value = user_->Value(QLatin1String(kRestoreInputsKey));
  // Only a value the program itself wrote turns it on.
  return value.typeId() == QMetaType::QString && value.toString() == QLatin1String("true");
}

bool SettingsStore::SaveRestoreInputs(bool on) {
  return user_->Write([on](QSettings& settings) {
    settings.setValue(QLatin1String(kRestoreInputsKey), on ? QStringLiteral("true") : QStringLiteral("false"));
  });
}

QString SettingsStore::LastInputsFile() const {
  if (locations_.userFile.isEmpty()) return {};
  return QFileInfo(locations_.userFile).absolutePath() + QLatin1String("/Last Inputs.klsetup");
}

planner::PlannerTexts SettingsStore::PlannerTexts() const {
  planner::PlannerTexts texts;
  for (const PlannerKey& key : kPlannerKeys) {
    const QVariant value = user_->Value(QLatin1String(kPlannerGroup) + QLatin1Char('/') + QLatin1String(key.key));
    if (value.typeId() != QMetaType::QString) continue;
    const std::string text = value.toString().toStdString();
    if (Acceptable(key, text)) texts.*key.text = text;
  }
  for (const LightKey& key : kLightKeys) {
    const QVariant value = user_->Value(QLatin1String(kPlannerGroup) + QLatin1Char('/') + QLatin1String(key.key));
    if (value.typeId() != QMetaType::QString) continue;
    const std::string text = value.toString().toStdString();
    if (AcceptableLight(key.text, text)) texts.light.*key.text = text;
  }
  return texts;
}

std::string SettingsStore::PlannerIso(const std::string& camera) const {
  const QVariant value = user_->Value(IsoKey(camera));
  if (value.typeId() != QMetaType::QString) return {};
  const std::string text = value.toString().toStdString();
  return AcceptableLight(&planner::LightTexts::iso, text) ? text : std::string();
}

bool SettingsStore::SavePlannerIso(const std::string& camera, const std::string& iso) {
  return user_->Write([&](QSettings& settings) { settings.setValue(IsoKey(camera), QString::fromStdString(iso)); });
}

bool SettingsStore::SavePlannerTexts(const planner::PlannerTexts& texts) {
  return user_->Write([&texts](QSettings& settings) {
    settings.beginGroup(QLatin1String(kPlannerGroup));
    for (const PlannerKey& key : kPlannerKeys) {
      settings.setValue(QLatin1String(key.key), QString::fromStdString(texts.*key.text));
    }
    for (const LightKey& key : kLightKeys) {
      settings.setValue(QLatin1String(key.key), QString::fromStdString(texts.light.*key.text));
    }
    settings.endGroup();
  });
}

}  // namespace korvan
