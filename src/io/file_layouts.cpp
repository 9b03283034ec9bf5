#include "io/file_layouts.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <utility>

#include "io/column_layout.h"

namespace kivex::io {

namespace {

class TaggedTables final : public FileLayout {
 public:
  std::string_view Identifier() const override { return "tagged tables"; }
  bool Recognise(const FileHeader& header) const override { return header.tables; }
  bool ReadsTables() const override { return true; }
};

class CountedHeader final : public FileLayout {
 public:
  std::string_view Identifier() const override { return "a counted settings header"; }
  bool Recognise(const FileHeader& header) const override { return header.headerLines > 0; }
};

class KeyValueHeader final : public FileLayout {
 public:
  std::string_view Identifier() const override { return "a key = value settings header"; }
  bool Recognise(const FileHeader& header) const override {
    // The technique's title stands under the date; the settings are the instrument's own keys.
    const SettingsReader* settings = header.settings;
    if (settings == nullptr || settings->titleLine() == 0 || settings->titleLine() > 3) {
      return false;
    }
    for (std::string_view key : {"Init E (V)", "Init P/N", "High E (V)", "Incr E (V)"}) {
      if (settings->HasKey(key)) return true;
    }
    return false;
  }
};

class ChannelColumns final : public FileLayout {
 public:
  std::string_view Identifier() const override { return "working-electrode channel columns"; }
  bool Recognise(const FileHeader& header) const override {
    if (header.columns == nullptr) return false;
    for (const ColumnInfo& column : *header.columns) {
      if (NamesElectrodeChannel(column)) return true;
    }
    return false;
  }
};

class SideBySideScans final : public FileLayout {
 public:
  std::string_view Identifier() const override { return "side-by-side scans"; }

  bool Recognise(const FileHeader& header) const override {
    if (header.columns == nullptr) return false;
    const int width = ScanGroupWidth(*header.columns);
    if (width == 0 || header.titles.size() > header.columns->size()) return false;
    // One title over the first column of each scan, and none elsewhere.
    int titled = 0;
    for (std::size_t i = 0; i < header.titles.size(); ++i) {
      const bool start = i % static_cast<std::size_t>(width) == 0;
      if (header.titles[i].empty() == start) return false;
      titled += start ? 1 : 0;
    }
    return titled >= 2;
  }

  // The scans one after the other, each row of a scan that holds anything marked with its scan.
  void Finish(CurveFile& file) const override {
    CurveFileLayout& layout = file.layout;
    const auto width = static_cast<std::size_t>(ScanGroupWidth(layout.columnInfo));
    const auto columns = static_cast<std::size_t>(layout.columnCount);
    const std::size_t scans = columns / width;
    const std::size_t rows = file.rows();
    std::vector<double> values;
    values.reserve(file.values.size());
    RowLines lines;
    file.rowCycle.clear();
    for (std::size_t scan = 0; scan < scans; ++scan) {
      for (std::size_t row = 0; row < rows; ++row) {
        const double* first = file.values.data() + row * columns + scan * width;
        bool any = false;
        for (std::size_t k = 0; k < width; ++k) any |= !std::isnan(first[k]);
        if (!any) continue;  // a shorter scan has ended
        values.insert(values.end(), first, first + width);
        file.rowCycle.push_back(static_cast<int>(scan + 1));
        lines.Add(file.rowLines.Line(row));
      }
    }
    file.values = std::move(values);
    file.rowLines = std::move(lines);
    layout.columnCount = static_cast<int>(width);
    layout.columnInfo.resize(width);
    if (layout.columnNames.size() > width) layout.columnNames.resize(width);
    layout.scans = static_cast<int>(scans);
  }
};

const TaggedTables kTaggedTables;
const CountedHeader kCountedHeader;
const KeyValueHeader kKeyValueHeader;
const ChannelColumns kChannelColumns;
const SideBySideScans kSideBySideScans;

const std::array<const FileLayout*, 5> kLayouts = {
    &kTaggedTables, &kCountedHeader, &kKeyValueHeader, &kChannelColumns, &kSideBySideScans};

bool SameColumn(const ColumnInfo& a, const ColumnInfo& b) {
  return a.heading == b.heading && a.unit == b.unit && a.quantity == b.quantity;
}

}  // namespace

std::span<const FileLayout* const> KnownLayouts() { return kLayouts; }

const FileLayout* RecogniseLayout(const FileHeader& header) {
  for (const FileLayout* layout : kLayouts) {
    if (layout->Recognise(header)) return layout;
  }
  return nullptr;
}

bool TableLine(std::string_view line, std::string_view& name) {
  const std::size_t tab = line.find('\t');
  if (tab == 0 || tab == std::string_view::npos) return false;
  const std::string_view head = line.substr(0, tab);
  for (char c : head) {
    if (std::isupper(static_cast<unsigned char>(c)) == 0 &&
        std::isdigit(static_cast<unsigned char>(c)) == 0 && c != '_') {
      return false;
    }
  }
  std::string_view rest = line.substr(tab + 1);
  const std::size_t next = rest.find('\t');
  if (rest.substr(0, next) != "TABLE") return false;
  if (next != std::string_view::npos) {
    // At most the row count after it.
    rest.remove_prefix(next + 1);
    for (char c : rest) {
      if (std::isdigit(static_cast<unsigned char>(c)) == 0 && c != ' ') return false;
    }
  }
  name = head;
  return true;
}

bool CurveTableName(std::string_view name) {
  if (name.size() <= 5 || name.substr(0, 5) != "CURVE") return false;
  for (char c : name.substr(5)) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return false;
  }
  return true;
}

std::optional<long long> CountedHeaderLines(std::string_view line) {
  constexpr std::string_view kKey = "Nb header lines";
  if (line.substr(0, kKey.size()) != kKey) return std::nullopt;
  line.remove_prefix(kKey.size());
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  if (line.empty() || line.front() != ':') return std::nullopt;
  line.remove_prefix(1);
  const std::optional<double> count = FieldNumber(line, false);
  constexpr double kMostLines = 1e6;
  if (!count || *count < 1 || *count > kMostLines || *count != std::floor(*count)) {
    return std::nullopt;
  }
  return static_cast<long long>(*count);
}

int ScanGroupWidth(const std::vector<ColumnInfo>& columns) {
  const std::size_t count = columns.size();
  for (std::size_t width = 2; width * 2 <= count; ++width) {
    if (count % width != 0) continue;
    bool potential = false;
    bool current = false;
    for (std::size_t k = 0; k < width; ++k) {
      potential |= columns[k].quantity == Quantity::Potential;
      current |= columns[k].quantity == Quantity::Current;
    }
    if (!potential || !current) continue;
    bool repeated = true;
    for (std::size_t i = width; i < count && repeated; ++i) {
      repeated = SameColumn(columns[i], columns[i % width]);
    }
    if (repeated) return static_cast<int>(width);
  }
  return 0;
}

}  // namespace kivex::io
