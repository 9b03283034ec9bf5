#pragma once
// The layouts of instrument exports that the curve reader knows, one object per layout: what it
// is called in the report, how its content shows it (never its file name), and what reading it
// needs beyond plain columns. Each writes oxidation current positive.
//
//   tagged tables            "KEY<TAB>TYPE<TAB>VALUE<TAB>Description" lines, then tables opened
//                            by "CURVE1<TAB>TABLE", each a cycle; other tables are passed over
//   a counted settings header  "Nb header lines : 58": the header is that many lines, whatever
//                            they hold, its last line the column headings
//   a key = value settings header  a technique title near the top and settings such as
//                            "Init E (V) = 0.6" above "Potential/V, Current/A"
//   working-electrode channel columns  headings such as "WE(1).Current (A)"
//   side-by-side scans       a row of unit headings repeated per scan ("V,µA,V,µA") under a row
//                            of scan titles: the scans are read one after the other
//
// A new layout is one class here and one line in KnownLayouts().
//
//   FileHeader header;
//   header.tables = true;
//   RecogniseLayout(header)->Identifier() == "tagged tables"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/column_heading.h"
#include "io/curve_file.h"
#include "io/file_settings.h"

namespace kivex::io {

// What the lines before the data showed.
struct FileHeader {
  bool tables = false;                               // a "NAME<TAB>TABLE" line was met
  long long headerLines = 0;                         // the header's own count of its lines
  const SettingsReader* settings = nullptr;          // the settings and titles read so far
  const std::vector<ColumnInfo>* columns = nullptr;  // the headings, once the data start
  std::vector<std::string> titles;  // the fields of the line above the headings, same separator
};

class FileLayout {
 public:
  FileLayout() = default;
  FileLayout(const FileLayout&) = delete;
  FileLayout& operator=(const FileLayout&) = delete;
  virtual ~FileLayout() = default;

  // The layout as the report names it: "Read as " + Identifier().
  virtual std::string_view Identifier() const = 0;
  virtual bool Recognise(const FileHeader& header) const = 0;
  virtual bool OxidationPositive() const { return true; }
  // The rows come in named tables; only "CURVE<n>" tables are the curve, each one cycle.
  virtual bool ReadsTables() const { return false; }
  // Rearranges what was read as plain columns.
  virtual void Finish(CurveFile& /*file*/) const {}
};

// The layouts known, in the order they are tried.
std::span<const FileLayout* const> KnownLayouts();

// The first known layout that recognises the header, or none.
const FileLayout* RecogniseLayout(const FileHeader& header);

// "CURVE1<TAB>TABLE<TAB>120" or "OCVCURVE<TAB>TABLE": a table opens, called `name`.
bool TableLine(std::string_view line, std::string_view& name);

// "CURVE1", "CURVE12": a table of the curve.
bool CurveTableName(std::string_view name);

// The count a "Nb header lines : 58" line gives, or none for any other line.
std::optional<long long> CountedHeaderLines(std::string_view line);

// The number of columns of one scan where the headings repeat a group of two or more columns
// with a potential and a current two or more times, 0 otherwise.
int ScanGroupWidth(const std::vector<ColumnInfo>& columns);

}  // namespace kivex::io
