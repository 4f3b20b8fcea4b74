#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvan::cli {

// Rows of label, value and unit printed in aligned columns, with headings and blank lines between
// groups. Widths are counted in bytes: the texts are the window's, mostly ASCII, and a camera name
// with 8-bit characters only shifts its own row.
class TextTable {
 public:
  void Heading(std::string_view text);
  void Row(std::string_view label, std::string_view value, std::string_view unit = {});
  void Blank();
  std::string Render() const;

 private:
  struct Line {
    enum class Kind { Heading, Row, Blank } kind;
    std::string label;
    std::string value;
    std::string unit;
  };
  std::vector<Line> lines_;
};

}  // namespace korvan::cli
