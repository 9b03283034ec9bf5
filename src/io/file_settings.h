#pragma once
// What a curve file says about the experiment that made it: the technique and the settings of its
// potential programme, from the header lines or from columns filled in the first data row only.
//
// A setting line takes one of the shapes instruments write:
//   "Scan Rate (V/s) = 0.1"          key = value, the unit in the key
//   "Nb cycles : 3"                  key : value
//   "Ei (V)     0.500"               key and value aligned with blanks
//   "SCANRATE<TAB>QUANT<TAB>100<TAB>Scan Rate (mV/s)"   a tagged key, the unit in its description
// The key is compared in either case; the first line that gives a setting is the one kept. A
// technique is named by a title line ("Cyclic Voltammetry") or a tag ("TAG<TAB>CV"). Every value
// is converted to V, s, V/s and Hz; a value whose unit is not understood is left out.
//
//   SettingsReader reader;
//   reader.Line("Scan Rate (V/s) = 0.1", 7);
//   reader.Line("STEPSIZE\tQUANT\t2\tStep Size (mV)", 8);
//   reader.Settings().scanRate == 0.1, .step == 0.002,
//   .found == {"Scan Rate (V/s) = 0.1", "Step Size (mV) = 2"}

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/column_heading.h"

namespace kivex::io {

struct FileSettings {  // all in V, s, V/s, Hz
  int technique = 0;   // 1 linear sweep/cyclic, 2 DC, 3 normal pulse, 4 differential pulse,
                       // 5 square wave; 0 not said
  std::optional<double> scanRate, initialPotential, vertex1, vertex2, finalPotential, step,
      quietTime, pulseHeight, pulseWidth, frequency;
  std::optional<double> pulsePeriod;
  std::optional<int> segments, cycles;
  std::vector<std::string> found;  // each setting as the file wrote it: "Scan Rate (V/s) = 0.1"
};

class SettingsReader {
 public:
  // A line before the data (or between tables), without its line end. True when it named the
  // technique or gave a setting.
  bool Line(std::string_view line, long long lineNumber);

  // A column that holds a value in its first data row only: true when its heading names a
  // setting ("Scan rate (V/s)"), which then takes `value`.
  bool Column(const ColumnInfo& column, double value);

  // The settings found; vertices written as the high and low potential with the direction of the
  // first sweep ("Init P/N") are put in the order the sweep meets them.
  FileSettings Settings() const;

  // The line of the first technique title, 0 when none was met.
  long long titleLine() const { return titleLine_; }

  // Whether a setting was given under this key as the file wrote it ("Init E (V)").
  bool HasKey(std::string_view key) const;

  struct Entry;  // a key the reader knows, with what it sets

 private:
  bool Take(std::string_view keyText, std::string_view valueText, std::string_view unitText,
            std::string found);
  bool Store(const Entry& entry, std::string_view keyText, std::string_view valueText,
             std::string_view unitText, std::string found);

  FileSettings settings_;
  std::optional<double> high_, low_;
  char direction_ = 0;                   // 'P' or 'N' from "Init P/N"
  std::optional<double> rateValue_;      // a scan rate written without its unit
  double rateDefaultScale_ = 1;          // and the unit its key implies
  std::optional<double> rateUnitScale_;  // a scan rate's unit written on a line of its own
  long long titleLine_ = 0;
  std::vector<std::string> keys_;
};

}  // namespace kivex::io
