#include "ui/widgets/ToolTips.h"

#include <QPushButton>
#include <QDialogButtonBox>
#include <QWidget>

#include "optics/ControlIds.h"
#include "ui/widgets/Controls.h"

namespace korvan {
namespace {

struct Tip {
  const char* name;  // object name; a control number is written "c1001"
  const char* text;
};

template <std::size_t N>
void Apply(QWidget* window, const Tip (&tips)[N]) {
  for (const Tip& tip : tips) {
    for (QWidget* widget : window->findChildren<QWidget*>(QString::fromLatin1(tip.name))) {
      if (widget->window() == window) widget->setToolTip(QString::fromUtf8(tip.text));
    }
  }
}

// The buttons of a standard button box carry no names; they are found by their role.
void ApplyToButtons(QWidget* window, QDialogButtonBox::StandardButton which, const char* text) {
  for (QDialogButtonBox* box : window->findChildren<QDialogButtonBox*>()) {
    if (QAbstractButton* button = box->button(which)) button->setToolTip(QString::fromUtf8(text));
  }
}

constexpr Tip kCalculatorTips[] = {
    {"c1069", "The quantity to compute from the others: focal length, magnification, object distance or field width"},
    {"c1001", "The camera in force: its pixel size and modes come from its camera file (.cam)"},
    {"c1029", "Choose camera files (.cam) to add to the camera list; the last one chosen is loaded"},
    {"c1002", "Frame rate in frames per second, as the camera's modes offer it"},
    {"c1097", "Image width x height in pixels offered at this frame rate"},
    {"c1003", "Exposure time: the frame period divided by the shutter multiple, in microseconds"},
    {"c1053", "Sensor width in mm: image width in pixels × pixel width"},
    {"c1054", "Sensor height in mm: image height in pixels × pixel height"},
    {"c1050", "Image width in pixels of the selected resolution"},
    {"c1051", "Image height in pixels of the selected resolution"},
    {"c1012", "Focal length of the lens in mm; typed, or computed in Focal Length mode"},
    {"c1016", "Magnification: sensor size ÷ field size (1 ÷ field ratio); typed, or computed"},
    {"c1074", "The lens is given by its focal length"},
    {"c1075", "The lens is given by its magnification"},
    {"c1004", "Lens f-number (aperture) set on the lens"},
    {"c1011", "Object distance from the lens, in the chosen unit; typed, or computed in Object Distance mode"},
    {"c1015", "Field width covered by the image along the chosen direction, in the chosen unit"},
    {"c1013", "Object velocity across the field, in the chosen unit per second, for motion blur"},
    {"c1005", "Unit of every length and velocity: mm, meters, inches or feet"},
    {"c1071", "Whether the field width is measured along the sensor's width (horizontal) or height (vertical)"},
    {"c1025", "The computed quantity of the compute mode, in the unit shown beside it"},
    {"c1022", "Working f-number: f-number × (1 + magnification), the aperture the sensor sees"},
    {"c1023", "Depth of field: far focus − near focus, for the format's circle of confusion, in the chosen unit"},
    {"c1068", "Near focus: the nearest distance in acceptable focus, in the chosen unit"},
    {"c1048", "Far focus: the farthest distance in acceptable focus (Infinity beyond the hyperfocal distance)"},
    {"c1044", "Hyperfocal distance: focused there, everything from half of it to infinity is sharp"},
    {"c1049", "Field angle in degrees: 2 × atan(field width ÷ 2 × object distance)"},
    {"c1038", "Smallest standard lens format whose image circle covers the sensor, with its mount"},
    {"c1014", "Motion blur: the distance the object moves during one exposure (velocity × exposure time)"},
    {"c1065", "Pixel blur: the motion blur in pixels (motion blur ÷ field width × image pixels)"},
    {"c1052", "Status: hints and warnings about the current inputs"},
    {"c1079", "What the compute mode computes and from which inputs"},
    {"c1076", "Open the lens attachments window: tele-extender, close-up lens and extension tubes"},
    {"c1098", "Open the planner: sharpness budget, best f-number, shutter, modes and lens kit"},
    {"c1024", "Clear the typed values and show the results again"},
    {"c1081", "About Korvan Lens Calculator and its formulas"},
    {"c1082", "Close the calculator"},
    {"c1096", "The quantities of the set-up: lens, sensor, distance and field"},
};

constexpr Tip kAttachmentTips[] = {
    {"c1082", "Use a tele-extender: multiplies the focal length and the f-number by its factor"},
    {"c1085", "Tele-extender factor: 2x or 3x"},
    {"c1083", "Use a close-up lens: adds its power in diopters to the lens"},
    {"c1086", "Close-up lens power in diopters: +1D ... +5D"},
    {"c1084", "Use extension tubes: moves the lens away from the sensor by their length"},
    {"c1087", "Extension tube length in mm"},
    {"c1088", "Focal length with the attachments, in mm"},
    {"c1089", "Magnification with the attachments (sensor size ÷ field size)"},
    {"c1090", "Working f-number with the attachments: f-number × (1 + magnification)"},
    {"c1092", "Field width with the attachments, in the calculator's unit"},
    {"c1091", "Focus shift: how far the object must move toward the lens to be in focus, in the calculator's unit"},
    {"c1", "Close this window; the attachments stay chosen"},
};

constexpr Tip kCameraEditorTips[] = {
    {"nameEdit", "Camera name, as the camera list shows it (the file's first line)"},
    {"pixelWidthEdit", "Pixel width in micrometres (µm), from the sensor's data sheet"},
    {"pixelHeightEdit", "Pixel height in micrometres (µm), from the sensor's data sheet"},
    {"modeTable", "The camera's modes: frame rate (fps), image width and height (pixels), one row each"},
    {"previewRates", "The frame-rate list the calculator will show for this camera"},
    {"previewResolutions", "The resolutions the calculator will offer at the chosen frame rate"},
};

constexpr Tip kAboutTips[] = {
    {"c1102", "Program name and version"},
    {"formulasText", "The formulas behind the results"},
    {"makerText", "Who makes the program"},
    {"dismissButton", "Close this window"},
};

constexpr Tip kFileDialogTips[] = {
    {"lookInCombo", "The folder shown, and the folders above it"},
    {"sidebar", "Places to start from"},
    {"listView", "The files and folders here; double-click a camera file to open it"},
    {"treeView", "The files and folders here, with size, type and date; double-click to open"},
    {"fileNameEdit", "Name of the camera file to open; several as \"a.cam\" \"b.cam\""},
    {"fileTypeCombo", "Which files to list: camera files (*.cam) or all files"},
    {"c1103", "Opens the download page of camera files in your web browser"},
    {"createCameraButton", "Make a camera file of your own in the camera editor"},
};

}  // namespace

void AddCalculatorToolTips(QWidget* calculator) { Apply(calculator, kCalculatorTips); }

void AddAttachmentToolTips(QWidget* attachments) { Apply(attachments, kAttachmentTips); }

void AddCameraEditorToolTips(QWidget* editor) {
  Apply(editor, kCameraEditorTips);
  ApplyToButtons(editor, QDialogButtonBox::Save, "Write the camera file and use it in the calculator");
  ApplyToButtons(editor, QDialogButtonBox::Cancel, "Close the editor without saving");
}

void AddAboutToolTips(QWidget* about) { Apply(about, kAboutTips); }

void AddFileDialogToolTips(QWidget* dialog) {
  Apply(dialog, kFileDialogTips);
  ApplyToButtons(dialog, QDialogButtonBox::Open, "Open the chosen camera files");
  ApplyToButtons(dialog, QDialogButtonBox::Cancel, "Close without choosing a file");
}

}  // namespace korvan
