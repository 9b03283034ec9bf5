#pragma once
// What a column heading says: the quantity a column holds and the factor that brings its values
// to volts, amperes, seconds or coulombs.
//
// A heading is a name, a unit, or both: "Potential/V", "E / V", "E (mV)", "Current [nA]",
// "WE(1).Current (A)", "<I>/mA", or a unit alone ("V", "µA"). A unit may carry its reference
// electrode ("V vs. Ref."). The micro sign is read in every spelling files use: U+00B5, the Greek
// mu U+03BC, a plain "u", and the lone byte 0xB5 of a Latin-1 file. Where a units row stands
// under a names row, the two fields of a column describe it together. A unit that is not known
// is not split off: "ox/red" and "P/W" are names.
//
//   ColumnInfo current = DescribeColumn("I/µA");
//   current.quantity == Quantity::Current, current.unit == "µA", current.scale == 1e-6
//   DescribeColumn("Vf", "V vs. Ref.").quantity == Quantity::Potential

#include <optional>
#include <string>
#include <string_view>

namespace kivex::io {

enum class Quantity { Unknown, Potential, Current, Time, Charge, Cycle };

struct ColumnInfo {
  std::string heading;  // as the file names it: "Ewe/V", "Im", "WE(1).Current (A)", "" for none
  std::string unit;     // as written: "mV", "µA", "V vs. Ref.", "" for none
  Quantity quantity = Quantity::Unknown;  // from the name and unit
  double scale = 1.0;                     // value * scale is in V, A or s
  bool text = false;                      // holds text in data rows: never a potential or a current
  bool setting = false;  // filled in the first data row only and names a setting: no data
};

// What a unit measures beyond the quantities of a column: settings give rates and frequencies.
enum class UnitKind { Potential, Current, Time, Charge, Rate, Frequency };

struct Unit {
  UnitKind kind;
  double scale;             // to V, A, s, C, V/s or Hz
  std::string_view symbol;  // as a report writes it: "mV", "µA"
};

// The unit `text` names as a whole, with any reference electrode after it ("V vs. Ref."); no
// value when it names none.
std::optional<Unit> ParseUnit(std::string_view text);

// `value` * `scale` for a scale that is a power of ten, as the decimal number the file wrote
// would read with its exponent moved: 0.46 µA is 4.6e-7 A, not the 4.6000000000000004e-7 that
// a multiplication or division in binary leaves.
double InBaseUnit(double value, double scale);

// A heading split into its name and the unit it names: "Ewe/V" -> {"Ewe", "V"},
// "Current (uA)" -> {"Current", "uA"}, "V" -> {"", "V"}, "ox/red" -> {"ox/red", ""}.
struct HeadingParts {
  std::string_view name;
  std::string_view unit;
};
HeadingParts SplitHeading(std::string_view heading);

// A column described by its heading and, where the file has a units row, its field there.
ColumnInfo DescribeColumn(std::string_view heading, std::string_view unitField = {});

// The text as UTF-8: text that is not valid UTF-8 is read as Latin-1, byte by byte.
std::string HeadingText(std::string_view bytes);

// How well a column fits the roles Import proposes it for, 0 when it does not fit (a text or
// setting column, another quantity). Potential: a pulse table's step potential Vstep 5 and its
// forward potential Vfwd 4, the measured working-electrode potential (Ewe, WE(1).Potential, Vf) 3,
// a plain potential (E, Potential, a unit alone) 2, the applied one (control, Potential applied)
// 1, and 0 for what a file records beside it (Vu, Ach, Ece). Current: a pulse table's difference
// current Idif 3, a named current (I, Im, <I>, Current, WE(1).Current) 2, any other current 1.
int PotentialRank(const ColumnInfo& column);
int CurrentRank(const ColumnInfo& column);

// Whether the heading names a channel of a working electrode: "WE(1).Potential (V)".
bool NamesElectrodeChannel(const ColumnInfo& column);

// Compares names as files vary them: ASCII letters in either case.
bool SameName(std::string_view a, std::string_view b);

}  // namespace kivex::io
