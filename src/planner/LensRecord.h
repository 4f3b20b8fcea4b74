#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A lens the user owns and its limits, and the kit of them as a CSV file. Only the focal length is
// required; a limit that is not known sets no limit.
namespace korvan::planner {

struct LensRecord {
  std::string name;
  std::string text;                    // the focal length as written ("12.5")
  double focalLengthMm = 0;            // above 0
  std::optional<double> fNumberMin;    // widest aperture
  std::optional<double> fNumberMax;    // narrowest aperture
  std::optional<double> closestFocus;  // meters, beyond the focal length
  std::optional<double> imageCircleMm;
  std::string mount;
  std::size_t line = 0;  // the CSV line the record starts on, or its entry's position in a plain list (from 1)
};

// The CSV columns, in the order the writer puts them.
inline constexpr std::string_view kLensKitHeader = "name,focalLength,fNumberMin,fNumberMax,closestFocus,imageCircle,mount";

// A kit holds at most this many lenses; the window plans every one of them on each keystroke.
inline constexpr std::size_t kMaxKitLenses = 100000;

struct LensKitRead {
  std::vector<LensRecord> lenses;  // the rows that were read, in their order
  std::vector<std::string> notes;  // one line per row skipped, naming its line and cell
  std::vector<std::size_t> noteLines;  // beside each note, the line of the row it skipped; 0 for other notes
  std::string problem;             // why nothing could be read (no focalLength column); empty otherwise
};

// Reads either form of a kit: the CSV with a header line naming the columns above (in any order;
// unknown columns are ignored) or a plain list of focal lengths, "8, 12.5, 16". A BOM, CRLF line
// ends, blank lines and quoted cells with commas, quotes or line breaks are read as a spreadsheet
// writes them. A row that cannot be used is skipped with a note; the others are kept.
LensKitRead ReadLensKit(std::string_view text);

// True when the text is a kit CSV (its first line that is not blank names kit columns).
bool IsLensKitCsv(std::string_view text);

// The kit's cells as written, in the header's column order (kLensKitColumns cells a row), for an
// editor that shows a row before it is a usable lens: a CSV's rows that are not blank, or a plain
// list's entries as focal lengths. Line breaks within cells become blanks.
inline constexpr std::size_t kLensKitColumns = 7;
std::vector<std::vector<std::string>> LensKitCells(std::string_view text);

// The kit as CSV under the header above; numbers in their shortest exact form, unknown cells empty.
std::string WriteLensKitCsv(const std::vector<LensRecord>& lenses);

// One CSV line (without its line end) of the cells as given, quoted where a cell needs it.
std::string CsvLine(const std::vector<std::string>& cells);

// The cells of a CSV text as a spreadsheet reads them: rows of cells, with the line each row starts on.
struct CsvRow {
  std::size_t line = 0;
  std::vector<std::string> cells;
  bool unclosed = false;  // a quoted cell runs to the end of the text
};
std::vector<CsvRow> SplitCsv(std::string_view text, char separator = ',');

}  // namespace korvan::planner

namespace korvan::planner {

// Reads a kit file (UTF-8 path). A file that cannot be read, or one larger than any kit, sets
// `problem` to one line naming the file and the reason.
LensKitRead ReadLensKitFile(const std::string& path);

}  // namespace korvan::planner
