#pragma once

#include <array>
#include <string>
#include <string_view>

#include <QString>

class QWidget;

namespace korvan {

// "c1011" for control 1011: the object name every control carries, so code and tests find
// controls by their identifier.
QString ControlName(int id);

// The controls of one window by identifier, looked up once so the cycles never search the
// widget tree.
class ControlTable {
 public:
  explicit ControlTable(QWidget* window);

  QWidget* Find(int id) const;
  template <class Widget>
  Widget* Get(int id) const {
    return static_cast<Widget*>(Find(id));
  }

 private:
  static constexpr int kFirstId = 1000;
  std::array<QWidget*, 100> byId_{};
  QWidget* dismiss_ = nullptr;  // the attachments window's Dismiss lies below the table
};

// The system's own texts (labels, descriptions, units) for a widget.
QString FromText(std::string_view text);

// Camera files are 8-bit text: their names are shown as UTF-8 when they are valid UTF-8 and as
// Latin-1 otherwise, so no byte is ever lost or replaced.
QString FromFileText(const std::string& bytes);
// Paths keep the bytes the file system uses.
std::string PathToBytes(const QString& path);
QString PathFromBytes(const std::string& bytes);

}  // namespace korvan
