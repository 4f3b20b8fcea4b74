#include "planner/LensRecord.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <cmath>
#include <set>

#include "camera/Utf8Path.h"
#include "optics/NumberText.h"
#include "planner/PlannerInputs.h"

namespace korvan::planner {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view WithoutBom(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

enum Column : std::size_t { kName, kFocalLength, kFNumberMin, kFNumberMax, kClosestFocus, kImageCircle, kMount, kColumns };
static_assert(kColumns == kLensKitColumns);
constexpr std::array<std::string_view, kColumns> kColumnNames = {"name",         "focalLength", "fNumberMin", "fNumberMax",
                                                                 "closestFocus", "imageCircle", "mount"};

std::optional<std::size_t> ColumnOf(std::string_view heading) {
  for (std::size_t c = 0; c < kColumns; ++c) {
    if (EqualNoCase(Trimmed(heading), kColumnNames[c])) return c;
  }
  return std::nullopt;
}

bool BlankRow(const CsvRow& row) {
  for (const std::string& cell : row.cells) {
    if (!Trimmed(cell).empty()) return false;
  }
  return true;
}

// A spreadsheet's number: the whole cell, without the leading-number leniency of the calculator's
// boxes, so that "25 mm" or "2,8" in a kit is reported rather than read as something else.
std::optional<double> StrictNumber(std::string_view cell) {
  cell = Trimmed(cell);
  if (!cell.empty() && cell.front() == '+') {
    cell.remove_prefix(1);
    if (!cell.empty() && (cell.front() == '+' || cell.front() == '-')) return std::nullopt;
  }
  const std::optional<WholeNumber> number = ReadWholeDouble(cell);
  if (!number || number->outOfRange) return std::nullopt;
  return number->value;
}

void AddNote(LensKitRead& read, std::string note, std::size_t line) {
  read.notes.push_back(std::move(note));
  read.noteLines.push_back(line);
}

class KitReader {
 public:
  explicit KitReader(LensKitRead& read) : read_(read) {}

  // True when the row was read into `lens`; otherwise the note says why it was skipped.
  bool Row(const CsvRow& row, const std::array<std::optional<std::size_t>, kColumns>& cellOf, std::size_t headerCells,
           LensRecord& lens) {
    line_ = row.line;
    if (row.unclosed) return Skip("a quoted cell is not closed");
    for (std::size_t c = headerCells; c < row.cells.size(); ++c) {
      if (!Trimmed(row.cells[c]).empty()) {
        return Skip("cell " + std::to_string(c + 1) + " lies beyond the header's " + std::to_string(headerCells) +
                    " columns");
      }
    }
    const auto cell = [&](Column column) -> std::string_view {
      const std::optional<std::size_t> at = cellOf[column];
      return at && *at < row.cells.size() ? Trimmed(row.cells[*at]) : std::string_view();
    };
    lens.name = cell(kName);
    lens.mount = cell(kMount);
    lens.line = row.line;
    lens.text = cell(kFocalLength);
    if (lens.text.empty()) return Skip(std::string(kColumnNames[kFocalLength]) + " is empty");
    std::optional<double> focal;
    if (!Positive(kFocalLength, cell(kFocalLength), focal)) return false;
    lens.focalLengthMm = *focal;
    if (!Positive(kFNumberMin, cell(kFNumberMin), lens.fNumberMin) ||
        !Positive(kFNumberMax, cell(kFNumberMax), lens.fNumberMax) ||
        !Positive(kClosestFocus, cell(kClosestFocus), lens.closestFocus) ||
        !Positive(kImageCircle, cell(kImageCircle), lens.imageCircleMm)) {
      return false;
    }
    if (lens.fNumberMin && lens.fNumberMax && *lens.fNumberMin > *lens.fNumberMax) {
      return Skip(std::string(kColumnNames[kFNumberMin]) + " " + Quoted(cell(kFNumberMin)) + " is above " +
                  std::string(kColumnNames[kFNumberMax]) + " " + Quoted(cell(kFNumberMax)));
    }
    // Nothing beyond the focal length can be focused: the thin-lens image distance has no solution.
    if (lens.closestFocus && !(*lens.closestFocus > 0.001 * lens.focalLengthMm)) {
      return Skip(std::string(kColumnNames[kClosestFocus]) + " " + Quoted(cell(kClosestFocus)) +
                  " m is not beyond the focal length (" + FormatG4(lens.focalLengthMm) + " mm)");
    }
    return true;
  }

 private:
  bool Skip(const std::string& why) {
    AddNote(read_, "Skipped line " + std::to_string(line_) + ": " + why, line_);
    return false;
  }

  // An empty cell is unknown; anything else must be a finite number above 0.
  bool Positive(Column column, std::string_view cell, std::optional<double>& value) {
    value.reset();
    if (cell.empty()) return true;
    const std::optional<double> number = StrictNumber(cell);
    const std::string what = std::string(kColumnNames[column]) + " " + Quoted(cell);
    if (!number) return Skip(what + " is not a number");
    if (!std::isfinite(*number) || !(*number > 0)) return Skip(what + " is not a finite number above 0");
    value = number;
    return true;
  }

  LensKitRead& read_;
  std::size_t line_ = 0;
};

// The header of a kit CSV: its first row that is not blank, when that row names a kit column.
std::optional<std::size_t> HeaderAt(const std::vector<CsvRow>& rows) {
  std::size_t at = 0;
  while (at < rows.size() && BlankRow(rows[at])) ++at;
  if (at == rows.size()) return std::nullopt;
  for (const std::string& cell : rows[at].cells) {
    if (ColumnOf(cell)) return at;
  }
  return std::nullopt;
}

void ReadCsvKit(const std::vector<CsvRow>& rows, std::size_t at, LensKitRead& read) {
  const CsvRow& header = rows[at++];
  std::array<std::optional<std::size_t>, kColumns> cellOf;
  for (std::size_t c = 0; c < header.cells.size(); ++c) {
    const std::optional<std::size_t> column = ColumnOf(header.cells[c]);
    const std::string heading = Quoted(Trimmed(header.cells[c]));
    if (!column) {
      if (!Trimmed(header.cells[c]).empty()) {
        AddNote(read, "Ignored column " + std::to_string(c + 1) + " " + heading + ": not a kit column", 0);
      }
    } else if (cellOf[*column]) {
      AddNote(read, "Ignored column " + std::to_string(c + 1) + " " + heading + ": a repeated column", 0);
    } else {
      cellOf[*column] = c;
    }
  }
  if (!cellOf[kFocalLength]) {
    read.problem = "The lens kit has no focalLength column (header: " + std::string(kLensKitHeader) + ")";
    return;
  }
  KitReader reader(read);
  for (; at < rows.size(); ++at) {
    if (BlankRow(rows[at])) continue;
    if (read.lenses.size() == kMaxKitLenses) {
      AddNote(read, "Skipped line " + std::to_string(rows[at].line) + " and the rest: a kit holds at most " +
                        std::to_string(kMaxKitLenses) + " lenses", rows[at].line);
      return;
    }
    LensRecord lens;
    if (reader.Row(rows[at], cellOf, header.cells.size(), lens)) read.lenses.push_back(std::move(lens));
  }
}

// "8, 12.5, 16": focal lengths read as the calculator reads its boxes; a focal length given twice
// is one lens.
void ReadPlainKit(std::string_view text, LensKitRead& read) {
  if (Trimmed(text).empty()) return;
  std::set<double> seen;
  std::string_view rest = text;
  for (std::size_t position = 1;; ++position) {
    const std::size_t comma = rest.find(',');
    const std::string_view entry = Trimmed(rest.substr(0, comma));
    const std::string quoted = Quoted(entry);
    if (entry.empty()) {
      read.notes.push_back("Skipped a blank entry");
    } else if (!BeginsWithNumber(std::string(entry))) {
      read.notes.push_back("Skipped " + quoted + ": not a number");
    } else {
      const double mm = ParseDouble(entry);
      if (!std::isfinite(mm)) {
        read.notes.push_back("Skipped " + quoted + ": not a finite focal length");
      } else if (!(mm > 0)) {
        read.notes.push_back("Skipped " + quoted + ": not above 0 mm");
      } else if (seen.count(mm) > 0) {
        read.notes.push_back("Skipped " + quoted + ": already in the kit");
      } else if (read.lenses.size() == kMaxKitLenses) {
        read.notes.push_back("Skipped " + quoted + " and the rest: a kit holds at most " +
                             std::to_string(kMaxKitLenses) + " lenses");
        return;
      } else {
        seen.insert(mm);
        LensRecord lens;
        lens.text = std::string(entry);
        lens.focalLengthMm = mm;
        lens.line = position;
        read.lenses.push_back(std::move(lens));
      }
    }
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
}

std::string NumberCell(const std::optional<double>& value) { return value ? FormatShortest(*value) : std::string(); }

}  // namespace

std::vector<CsvRow> SplitCsv(std::string_view text, char separator) {
  text = WithoutBom(text);
  std::vector<CsvRow> rows;
  std::size_t line = 1;
  std::size_t i = 0;
  while (i < text.size()) {
    CsvRow row;
    row.line = line;
    std::string cell;
    bool endOfRow = false;
    while (!endOfRow) {
      // A quote opens a quoted cell only at the cell's start (after blanks, as spreadsheets allow).
      std::size_t start = i;
      while (start < text.size() && (text[start] == ' ' || text[start] == '\t') && text[start] != separator) ++start;
      if (start < text.size() && text[start] == '"') {
        i = start + 1;
        bool closed = false;
        while (i < text.size()) {
          const char c = text[i++];
          if (c == '"') {
            if (i < text.size() && text[i] == '"') {
              cell.push_back('"');
              ++i;
            } else {
              closed = true;
              break;
            }
          } else {
            if (c == '\n') ++line;
            if (!(c == '\r' && i < text.size() && text[i] == '\n')) cell.push_back(c);
          }
        }
        if (!closed) row.unclosed = true;
      }
      // The rest of the cell, up to the separator or the line end, is taken as it stands.
      while (i < text.size() && text[i] != separator && text[i] != '\n' && text[i] != '\r') cell.push_back(text[i++]);
      row.cells.push_back(std::move(cell));
      cell.clear();
      if (i >= text.size()) {
        endOfRow = true;
      } else if (text[i] == separator) {
        ++i;
      } else {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++i;
        ++line;
        endOfRow = true;
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

bool IsLensKitCsv(std::string_view text) { return HeaderAt(SplitCsv(text)).has_value(); }

LensKitRead ReadLensKit(std::string_view text) {
  LensKitRead read;
  const std::vector<CsvRow> rows = SplitCsv(text);
  if (const std::optional<std::size_t> header = HeaderAt(rows)) {
    ReadCsvKit(rows, *header, read);
  } else {
    ReadPlainKit(text, read);
    read.noteLines.assign(read.notes.size(), 0);
  }
  return read;
}

std::vector<std::vector<std::string>> LensKitCells(std::string_view text) {
  std::vector<std::vector<std::string>> cells;
  const auto clean = [](std::string cell) {
    for (char& c : cell) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    return std::string(Trimmed(cell));
  };
  const std::vector<CsvRow> rows = SplitCsv(text);
  const std::optional<std::size_t> header = HeaderAt(rows);
  if (!header) {
    if (Trimmed(text).empty()) return cells;
    std::string_view rest = text;
    for (;;) {
      const std::size_t comma = rest.find(',');
      std::vector<std::string> row(kColumns);
      row[kFocalLength] = clean(std::string(rest.substr(0, comma)));
      if (!row[kFocalLength].empty()) cells.push_back(std::move(row));
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
    return cells;
  }
  std::array<std::optional<std::size_t>, kColumns> cellOf;
  for (std::size_t c = 0; c < rows[*header].cells.size(); ++c) {
    const std::optional<std::size_t> column = ColumnOf(rows[*header].cells[c]);
    if (column && !cellOf[*column]) cellOf[*column] = c;
  }
  for (std::size_t r = *header + 1; r < rows.size(); ++r) {
    if (BlankRow(rows[r])) continue;
    std::vector<std::string> row(kColumns);
    for (std::size_t column = 0; column < kColumns; ++column) {
      if (cellOf[column] && *cellOf[column] < rows[r].cells.size()) row[column] = clean(rows[r].cells[*cellOf[column]]);
    }
    cells.push_back(std::move(row));
  }
  return cells;
}

std::string CsvLine(const std::vector<std::string>& cells) {
  std::string out;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    if (c > 0) out.push_back(',');
    const std::string& cell = cells[c];
    const bool quote = cell.find_first_of(",\"\r\n") != std::string::npos ||
                       (!cell.empty() && (IsBlank(cell.front()) || IsBlank(cell.back())));
    if (!quote) {
      out += cell;
      continue;
    }
    out.push_back('"');
    for (const char ch : cell) {
      if (ch == '"') out.push_back('"');
      out.push_back(ch);
    }
    out.push_back('"');
  }
  return out;
}

std::string WriteLensKitCsv(const std::vector<LensRecord>& lenses) {
  std::string out(kLensKitHeader);
  out.push_back('\n');
  for (const LensRecord& lens : lenses) {
    out += CsvLine({lens.name, FormatShortest(lens.focalLengthMm), NumberCell(lens.fNumberMin),
                    NumberCell(lens.fNumberMax), NumberCell(lens.closestFocus), NumberCell(lens.imageCircleMm),
                    lens.mount});
    out.push_back('\n');
  }
  return out;
}

}  // namespace korvan::planner

namespace korvan::planner {

LensKitRead ReadLensKitFile(const std::string& path) {
  // Far beyond the largest kit at a few hundred bytes a row; it keeps a wrong file from filling memory.
  constexpr std::size_t kMaxBytes = std::size_t{64} << 20;
  std::FILE* file = OpenForReadingBytes(PathFromUtf8(path));
  if (!file) {
    LensKitRead read;
    read.problem = "Cannot read " + path + ": " + std::strerror(errno);
    return read;
  }
  std::string text;
  char buffer[1 << 16];
  std::size_t got = 0;
  while (text.size() <= kMaxBytes && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  const int error = std::ferror(file) ? errno : 0;
  std::fclose(file);
  if (error != 0 || text.size() > kMaxBytes) {
    LensKitRead read;
    read.problem = "Cannot read " + path + ": " + (error != 0 ? std::strerror(error) : "larger than 64 MB");
    return read;
  }
  return ReadLensKit(text);
}

}  // namespace korvan::planner
