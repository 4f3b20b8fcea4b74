#pragma once

class QCheckBox;
class QLabel;
class QString;
class QWidget;

namespace korvan {

// What a screen reader is told about the windows' drop-down lists and boxes. Qt's own views fall
// short here: on this platform a list is named by its current entry ("60, combo box"), and a
// read-only box reports itself editable as well.
//
// A list is named by the label that leads to it (its buddy) or the check box it belongs to; its
// value is the current entry. A box's value is its text and its description ends with the text
// its unit label shows at that moment ("Object Distance", "2", "meters"); a read-only box is
// read-only and not editable.
//
// Applies to the lists and boxes of `window` (not to other windows such as Qt's file dialog).
// Call it before the window's form is set up: Qt makes a list's view as soon as the list gets
// its first entry, and keeps it.
void InstallAccessibleControls(QWidget* window);

// The units of the boxes, the check boxes that label lists, and read-only boxes made Tab stops
// (a result is no use to a reader who cannot get to it), for each window.
void DescribeCalculatorControls(QWidget* calculator);
void DescribeAttachmentControls(QWidget* attachments);

// The label whose text (the unit) completes `box`'s accessible description.
void SetUnitLabel(QWidget* box, const QLabel* unit);
// Shows `text` in the unit label `unit` and, when that changes it, tells assistive technology that
// the descriptions of the boxes it completes changed too: a reader that keeps descriptions would
// otherwise go on saying "meters" after a change to feet.
void SetUnitText(QLabel* unit, const QString& text);
// The check box that switches `list` on and names it.
void SetLabellingCheckBox(QWidget* list, const QCheckBox* check);

}  // namespace korvan
