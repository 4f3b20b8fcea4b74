#pragma once

#include <memory>

#include <QDialog>

#include "optics/Attachments.h"
#include "ui/widgets/Controls.h"

namespace Ui {
class CAttachmentsDlg;
}

namespace korvan {

struct CalcState;
struct CameraDefinition;

// The modeless window that corrects the calculator's lens for a tele-extender, a close-up lens and
// extension tubes. It reads the calculator's state and current camera and never writes them;
// hiding it keeps its choices.
class CAttachmentsDlg : public QDialog {
  Q_OBJECT

 public:
  // `state` and `camera` belong to the calculator window, which outlives this window.
  CAttachmentsDlg(const CalcState& state, const CameraDefinition& camera, QWidget* owner);
  ~CAttachmentsDlg() override;

  // Rereads the choices, then recomputes and shows every adjusted value.
  void RefreshAttachments();

  const AttachmentChoices& Choices() const { return choices_; }
  // The check boxes and lists set as the user would set them, with the same refresh and signal.
  void ChooseAttachments(const AttachmentChoices& choices);

 signals:
  // The user changed a tick or a list; raised after the refresh.
  void choicesChanged();

 private:
  void ReadChoices();
  void Write(int id, const std::string& text);

  std::unique_ptr<Ui::CAttachmentsDlg> ui_;
  ControlTable controls_;
  const CalcState& state_;
  const CameraDefinition& camera_;
  AttachmentChoices choices_;
  AttachmentResult result_;
};

}  // namespace korvan
