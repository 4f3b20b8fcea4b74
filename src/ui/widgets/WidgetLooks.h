#pragma once

class QLabel;
class QLineEdit;

// Looks shared by both windows. Sizes come from the font, so the fixed-size windows never have to
// grow when a text changes and still fit any font the desktop uses.
namespace korvan {

// Read-only boxes sit on the window's background, so results read as results, not inputs.
void ApplyReadOnlyLook(QLineEdit* box);
// An input box that the compute mode can turn into a result box.
void SetWritable(QLineEdit* box, bool writable);

// Wide enough for any "%.4g" number ("-8.888e-88", "Infinity").
void SizeForNumbers(QLineEdit* box);
// Wide enough for a short fixed-point or pixel count ("15.36", "1280").
void SizeForShortNumbers(QLineEdit* box);
// Wide enough for every length and speed unit name.
void SizeForLengthUnits(QLabel* label);

}  // namespace korvan
