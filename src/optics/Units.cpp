#include "optics/Units.h"

namespace korvan {

double ToMetersFactor(LengthUnit unit) {
  switch (unit) {
    case LengthUnit::Mm: return 0.001;
    case LengthUnit::Inches: return 0.0254;
    // The product, not 0.3048: it is one unit in the last place below it, and every length typed
    // in feet must read exactly as it always has.
    case LengthUnit::Feet: return 12 * 0.0254;
    case LengthUnit::Meters:
    default: return 1;
  }
}

double FromMetersFactor(LengthUnit unit) {
  switch (unit) {
    case LengthUnit::Mm: return 1000;
    case LengthUnit::Inches: return 39.37007874015748;
    case LengthUnit::Feet: return 3.280839895013124;
    case LengthUnit::Meters:
    default: return 1;
  }
}

std::string_view LengthUnitName(LengthUnit unit) {
  switch (unit) {
    case LengthUnit::Mm: return "mm";
    case LengthUnit::Inches: return "inches";
    case LengthUnit::Feet: return "feet";
    case LengthUnit::Meters:
    default: return "meters";
  }
}

std::string_view SpeedUnitName(LengthUnit unit) {
  switch (unit) {
    case LengthUnit::Mm: return "mm/sec";
    case LengthUnit::Inches: return "in/sec";
    case LengthUnit::Feet: return "ft/sec";
    case LengthUnit::Meters:
    default: return "m/sec";
  }
}

LengthUnit LengthUnitFromIndex(int index) {
  return index >= 0 && index <= 3 ? static_cast<LengthUnit>(index) : LengthUnit::Meters;
}

}  // namespace korvan
