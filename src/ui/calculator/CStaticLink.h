#pragma once

#include <functional>

#include <QColor>
#include <QLabel>
#include <QString>

class QUrl;

namespace korvan {

// A text label that behaves as a hyperlink: underlined, blue until its address was opened and
// purple afterwards. A label that shows a picture instead of text keeps its own looks and only
// becomes clickable.
class CStaticLink : public QLabel {
  Q_OBJECT

 public:
  // Reports whether an address was opened; it may be called at once or later, and only once.
  using OpenedReply = std::function<void(bool opened)>;
  // How an address is opened and a failure made heard; tests put recording versions in place.
  struct Shell {
    std::function<void(const QUrl&, OpenedReply)> open;
    std::function<void()> beep;
  };

  // The desktop's opener. Where Qt hands the address to xdg-open it only learns that the program
  // started, not whether it found anything to open the address with; so xdg-open is run here and
  // its exit status waited for. One that still runs after a few seconds (it keeps waiting for the
  // browser it started) has opened the address.
  static void OpenWithDesktop(const QUrl& url, OpenedReply reply);

  explicit CStaticLink(QWidget* parent = nullptr);

  void SetShell(Shell shell);

  // The address to open; when empty at the first click, the label's own text is taken.
  const QString& LinkTarget() const { return linkTarget_; }
  void SetLinkTarget(const QString& target) { linkTarget_ = target; }

  bool Visited() const { return visited_; }
  QColor UnvisitedColor() const { return unvisitedColor_; }
  QColor VisitedColor() const { return visitedColor_; }

  // Opens the address; on failure only beeps, and the link keeps its colour. Where the opener
  // answers later, the link turns purple (or the beep sounds) when it does.
  void Open();

 protected:
  bool event(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  bool ShowsText() const;
  void UpdateLook();

  QColor unvisitedColor_{0, 0, 255};
  QColor visitedColor_{128, 0, 128};
  bool visited_ = false;
  QString linkTarget_;
  bool underlined_ = false;  // the underlined font is made once, on first use
  Shell shell_;
};

}  // namespace korvan
