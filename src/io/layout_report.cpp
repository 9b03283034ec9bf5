#include "io/layout_report.h"

#include <cctype>
#include <optional>

namespace kivex::io {

namespace {

std::string Count(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "text column 9 \"Over\"" or "text columns 9 \"Over\", 10 \"Flag\"", empty when none.
std::string TextColumns(const CurveFileLayout& layout) {
  std::string listed;
  int count = 0;
  for (int column = 1; column <= static_cast<int>(layout.columnInfo.size()); ++column) {
    if (!layout.columnInfo[static_cast<std::size_t>(column - 1)].text) continue;
    const std::string text = ColumnText(layout, column);  // "column 9 ..."
    listed += (count++ == 0 ? "" : ", ") + text.substr(text.find(' ') + 1);
  }
  if (count == 0) return "";
  return (count == 1 ? "text column " : "text columns ") + listed + " ignored";
}

std::string FormatLine(const CurveFileLayout& layout) {
  std::string line = "Read as " + layout.format;
  std::string detail;
  if (layout.curveTables > 0) detail = Count(layout.curveTables, "curve table", "curve tables");
  if (layout.scans > 0) {
    detail = Count(layout.scans, "scan", "scans") + " of " +
             Count(layout.columnCount, "column", "columns") + ", one after the other";
  }
  if (layout.headerLines > 0) detail = Count(layout.headerLines, "line", "lines");
  const std::string text = TextColumns(layout);
  if (!detail.empty()) line += ": " + detail;
  if (!text.empty()) line += (detail.empty() ? ": " : ", ") + text;
  return line;
}

const char* Noun(Quantity quantity) {
  switch (quantity) {
    case Quantity::Potential: return "potentials";
    case Quantity::Current: return "currents";
    case Quantity::Time: return "times";
    case Quantity::Charge: return "charges";
    case Quantity::Cycle:
    case Quantity::Unknown: break;
  }
  return "values";
}

const char* BaseUnit(Quantity quantity) {
  switch (quantity) {
    case Quantity::Potential: return "V";
    case Quantity::Current: return "A";
    case Quantity::Time: return "s";
    case Quantity::Charge: return "C";
    case Quantity::Cycle:
    case Quantity::Unknown: break;
  }
  return "";
}

// "Potentials converted from mV to V, currents from µA to A", empty when nothing is converted.
std::string ConversionLine(const CurveFileLayout& layout, ColumnChoice choice) {
  std::string line;
  const int time = TimeColumn(layout);
  for (int column : {choice.potential, choice.value, time}) {
    if (column == time && (column == 0 || column == choice.potential || column == choice.value)) {
      continue;
    }
    const ColumnInfo* info = ColumnOf(layout, column);
    if (info == nullptr || info->scale == 1.0) continue;
    const std::optional<Unit> unit = ParseUnit(info->unit);
    if (!unit) continue;
    std::string piece = Noun(info->quantity);
    if (line.empty()) {
      piece[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(piece[0])));
      piece += " converted";
    } else {
      line += ", ";
    }
    line += piece + " from " + std::string(unit->symbol) + " to " + BaseUnit(info->quantity);
  }
  return line;
}

}  // namespace

const ColumnInfo* ColumnOf(const CurveFileLayout& layout, int column) {
  if (column < 1 || static_cast<std::size_t>(column) > layout.columnInfo.size()) return nullptr;
  return &layout.columnInfo[static_cast<std::size_t>(column - 1)];
}

std::string ColumnText(const CurveFileLayout& layout, int column) {
  std::string text = "column " + std::to_string(column);
  if (column >= 1 && static_cast<std::size_t>(column) <= layout.columnNames.size()) {
    text += " " + ShownField(layout.columnNames[static_cast<std::size_t>(column - 1)], false);
  }
  return text;
}

bool TurnsSign(const CurveFileLayout& layout, ColumnChoice choice, CurrentSign sign) {
  const bool oxidationPositive = sign == CurrentSign::OxidationPositive ||
                                 (sign == CurrentSign::FromFile && layout.oxidationPositive);
  if (!oxidationPositive) return false;
  const ColumnInfo* value = ColumnOf(layout, choice.value);
  return value == nullptr || value->quantity == Quantity::Current ||
         value->quantity == Quantity::Charge || value->quantity == Quantity::Unknown;
}

int TimeColumn(const CurveFileLayout& layout) {
  for (std::size_t i = 0; i < layout.columnInfo.size(); ++i) {
    const ColumnInfo& column = layout.columnInfo[i];
    if (column.quantity == Quantity::Time && !column.text && !column.setting) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

std::vector<std::string> LayoutReport(const CurveFileLayout& layout, ColumnChoice choice,
                                      CurrentSign sign) {
  std::vector<std::string> lines;
  const std::string_view encoding = EncodingName(layout.encoding);
  const bool utf16 =
      layout.encoding == TextEncoding::Utf16Le || layout.encoding == TextEncoding::Utf16Be;
  if (!layout.columns) {
    if (utf16) lines.push_back("Read as pairs of numbers, " + std::string(encoding));
    if (choice != ColumnChoice{}) {
      lines.push_back("E from column " + std::to_string(choice.potential) + ", I from column " +
                      std::to_string(choice.value) + " of each pair");
    }
  } else {
    if (!layout.format.empty()) {
      lines.push_back(FormatLine(layout));
    } else if (std::string text = TextColumns(layout); !text.empty()) {
      text[0] = 'T';
      lines.push_back(text);
    }
    lines.insert(lines.end(), layout.notes.begin(), layout.notes.end());
    if (layout.skippedLines > 0 || layout.commentLines > 0) {
      std::string skipped = "Skipped " + Count(layout.skippedLines, "line", "lines") +
                            " before the data, which start on line " +
                            std::to_string(layout.firstDataLine);
      if (layout.commentLines > 0) {
        skipped +=
            ", and " + Count(layout.commentLines, "comment line", "comment lines") + " after";
      }
      lines.push_back(skipped);
    }
    std::string shape = "Read " + std::to_string(layout.columnCount) + " columns separated by " +
                        std::string(SeparatorName(layout.separator));
    if (layout.decimalComma) shape += ", with decimal commas";
    if (!encoding.empty()) shape += ", " + std::string(encoding);
    lines.push_back(shape);
    lines.push_back("E from " + ColumnText(layout, choice.potential) + ", I from " +
                    ColumnText(layout, choice.value));
    if (std::string conversion = ConversionLine(layout, choice); !conversion.empty()) {
      lines.push_back(std::move(conversion));
    }
  }
  if (TurnsSign(layout, choice, sign)) {
    lines.push_back(sign == CurrentSign::FromFile
                        ? "Currents turned to reduction positive: this layout writes oxidation "
                          "current positive"
                        : "Currents turned to reduction positive: the file was said to write "
                          "oxidation current positive");
  }
  return lines;
}

}  // namespace kivex::io
