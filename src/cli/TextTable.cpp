#include "cli/TextTable.h"

#include <algorithm>

namespace korvan::cli {

void TextTable::Heading(std::string_view text) { lines_.push_back({Line::Kind::Heading, std::string(text), {}, {}}); }

void TextTable::Row(std::string_view label, std::string_view value, std::string_view unit) {
  lines_.push_back({Line::Kind::Row, std::string(label), std::string(value), std::string(unit)});
}

void TextTable::Blank() { lines_.push_back({Line::Kind::Blank, {}, {}, {}}); }

std::string TextTable::Render() const {
  std::size_t labelWidth = 0;
  std::size_t valueWidth = 0;
  for (const Line& line : lines_) {
    if (line.kind != Line::Kind::Row) continue;
    labelWidth = std::max(labelWidth, line.label.size());
    if (!line.unit.empty()) valueWidth = std::max(valueWidth, line.value.size());
  }
  std::string out;
  for (const Line& line : lines_) {
    switch (line.kind) {
      case Line::Kind::Heading:
        out += line.label;
        break;
      case Line::Kind::Blank:
        break;
      case Line::Kind::Row:
        out += line.label;
        out.append(labelWidth - line.label.size() + 2, ' ');
        out += line.value;
        // Only rows with a unit are padded, so that no line ends in blanks.
        if (!line.unit.empty()) {
          out.append(valueWidth - line.value.size() + 2, ' ');
          out += line.unit;
        }
        break;
    }
    out += '\n';
  }
  return out;
}

}  // namespace korvan::cli
