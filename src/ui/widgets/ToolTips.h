#pragma once

class QWidget;

// One-line explanations of every input and result: what it is, its unit, how it is computed.
// Each window calls its own once its form is set up.
namespace korvan {

void AddCalculatorToolTips(QWidget* calculator);
void AddAttachmentToolTips(QWidget* attachments);
void AddCameraEditorToolTips(QWidget* editor);
void AddAboutToolTips(QWidget* about);
// The camera file dialog: its extra panel and the standard controls it is built from.
void AddFileDialogToolTips(QWidget* dialog);

}  // namespace korvan
