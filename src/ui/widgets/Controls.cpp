#include "ui/widgets/Controls.h"

#include <QFile>
#include <QStringDecoder>
#include <QWidget>

#include "optics/ControlIds.h"
#include "optics/NumberText.h"

namespace korvan {

QString ControlName(int id) { return QString::fromStdString("c" + FormatInt(id)); }

ControlTable::ControlTable(QWidget* window) {
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    const QString name = widget->objectName();
    if (name.size() < 2 || name.front() != QLatin1Char('c')) continue;
    const int id = ParseInt(name.mid(1).toStdString());
    if (ControlName(id) != name) continue;  // "cameraGroup" and the like
    if (id >= kFirstId && id < kFirstId + static_cast<int>(byId_.size())) {
      byId_[id - kFirstId] = widget;
    } else if (id == ids::kDismissButton) {
      dismiss_ = widget;
    }
  }
}

QWidget* ControlTable::Find(int id) const {
  if (id >= kFirstId && id < kFirstId + static_cast<int>(byId_.size())) return byId_[id - kFirstId];
  return id == ids::kDismissButton ? dismiss_ : nullptr;
}

QString FromText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromFileText(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

#ifdef Q_OS_WIN
// The core takes file names as UTF-8 and opens them through UTF-16 (camera/Utf8Path.h);
// QFile::encodeName would go through the ANSI code page and lose what it cannot encode.
std::string PathToBytes(const QString& path) { return path.toUtf8().toStdString(); }

QString PathFromBytes(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
#else
std::string PathToBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString PathFromBytes(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
#endif

}  // namespace korvan
