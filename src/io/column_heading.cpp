#include "io/column_heading.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>
#include <utility>

#include "io/column_layout.h"

namespace kivex::io {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithName(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && SameName(text.substr(0, start.size()), start);
}

struct UnitSpelling {
  std::string_view symbol;  // with the micro sign as U+00B5
  UnitKind kind;
  double scale;
};

constexpr std::string_view kMicro = "\xC2\xB5";

constexpr std::array<UnitSpelling, 19> kUnits = {{
    {"V", UnitKind::Potential, 1.0},
    {"mV", UnitKind::Potential, 1e-3},
    {"\xC2\xB5V", UnitKind::Potential, 1e-6},
    {"A", UnitKind::Current, 1.0},
    {"mA", UnitKind::Current, 1e-3},
    {"\xC2\xB5"
     "A",
     UnitKind::Current, 1e-6},
    {"nA", UnitKind::Current, 1e-9},
    {"pA", UnitKind::Current, 1e-12},
    {"s", UnitKind::Time, 1.0},
    {"sec", UnitKind::Time, 1.0},
    {"ms", UnitKind::Time, 1e-3},
    {"C", UnitKind::Charge, 1.0},
    {"mC", UnitKind::Charge, 1e-3},
    {"\xC2\xB5"
     "C",
     UnitKind::Charge, 1e-6},
    {"nC", UnitKind::Charge, 1e-9},
    {"V/s", UnitKind::Rate, 1.0},
    {"mV/s", UnitKind::Rate, 1e-3},
    {"Hz", UnitKind::Frequency, 1.0},
    {"kHz", UnitKind::Frequency, 1e3},
}};

// The micro sign as files write it, longest first: the lone Latin-1 byte is the last resort.
constexpr std::array<std::string_view, 4> kMicroSpellings = {"\xC2\xB5", "\xCE\xBC", "u", "\xB5"};

// The text after a unit: nothing, or the reference electrode ("vs. Ref.", "vs SCE").
bool ReferenceOnly(std::string_view rest) {
  if (rest.empty()) return true;
  if (!IsBlank(rest.front())) return false;
  return StartsWithName(TrimBlanks(rest), "vs");
}

std::optional<Unit> MatchUnit(std::string_view text) {
  for (const UnitSpelling& unit : kUnits) {
    if (text.substr(0, unit.symbol.size()) == unit.symbol &&
        ReferenceOnly(text.substr(unit.symbol.size()))) {
      return Unit{unit.kind, unit.scale, unit.symbol};
    }
  }
  return std::nullopt;
}

template <typename Names>
bool AnyNamed(std::string_view name, const Names& names) {
  for (std::string_view candidate : names) {
    if (SameName(name, candidate)) return true;
  }
  return false;
}
bool InList(std::string_view name, std::initializer_list<std::string_view> names) {
  return AnyNamed(name, names);
}
template <std::size_t N>
bool InList(std::string_view name, const std::array<std::string_view, N>& names) {
  return AnyNamed(name, names);
}

// "WE(1).Potential", "WE(2).Current": a channel of a working electrode and what it measures.
bool ChannelName(std::string_view name, std::string_view what) {
  if (!StartsWithName(name, "WE(")) return false;
  std::size_t i = 3;
  const std::size_t digits = i;
  while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])) != 0) ++i;
  if (i == digits || name.substr(i, 2) != ").") return false;
  return SameName(name.substr(i + 2), what);
}

constexpr std::array<std::string_view, 2> kMeasuredPotentials = {"Ewe", "Vf"};
constexpr std::array<std::string_view, 5> kAppliedPotentials = {
    "control", "Potential applied", "Applied potential", "E applied", "Sig"};
constexpr std::array<std::string_view, 4> kPlainPotentials = {"E", "Potential", "U", "Voltage"};
// Potentials a file records beside the working electrode's: never the curve's axis.
constexpr std::array<std::string_view, 6> kOtherPotentials = {"Vu",      "Ach",  "Ece",
                                                              "Ewe-Ece", "Vrev", "Vm"};
constexpr std::array<std::string_view, 4> kNamedCurrents = {"I", "Im", "<I>", "Current"};

Quantity NameQuantity(std::string_view name) {
  if (InList(name, kMeasuredPotentials) || InList(name, kAppliedPotentials) ||
      InList(name, kPlainPotentials) || InList(name, kOtherPotentials) ||
      InList(name, {"Vstep", "Vfwd"}) || ChannelName(name, "Potential")) {
    return Quantity::Potential;
  }
  if (InList(name, kNamedCurrents) || InList(name, {"Idif", "Ifwd", "Irev"}) ||
      ChannelName(name, "Current")) {
    return Quantity::Current;
  }
  if (InList(name, {"t", "Time", "Elapsed time"})) return Quantity::Time;
  if (InList(name, {"Q", "Q+", "Q-", "Charge", "(Q-Qo)", "dQ"})) return Quantity::Charge;
  if (InList(name, {"cycle number", "cycle", "cycle no", "cycle no.", "scan", "scan number"})) {
    return Quantity::Cycle;
  }
  return Quantity::Unknown;
}

bool ValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int follow = 0;
    if (lead < 0x80) {
      follow = 0;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      follow = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      follow = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      follow = 3;
    } else {
      return false;
    }
    if (text.size() - i <= static_cast<std::size_t>(follow)) return false;
    for (int k = 1; k <= follow; ++k) {
      if ((static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) {
        return false;
      }
    }
    i += static_cast<std::size_t>(follow) + 1;
  }
  return true;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::optional<Unit> ParseUnit(std::string_view text) {
  text = TrimBlanks(text);
  for (std::string_view micro : kMicroSpellings) {
    if (text.substr(0, micro.size()) == micro && text.size() > micro.size()) {
      std::string normal(kMicro);
      normal += text.substr(micro.size());
      if (std::optional<Unit> unit = MatchUnit(normal)) {
        if (unit->symbol.substr(0, kMicro.size()) == kMicro) return unit;
      }
      break;  // "u" or "µ" that starts no micro unit
    }
  }
  return MatchUnit(text);
}

namespace {

// The power of ten a unit's scale is: -6 for micro.
int DecimalShift(double scale) {
  constexpr std::array<std::pair<double, int>, 5> kShifts = {
      {{1e-3, -3}, {1e-6, -6}, {1e-9, -9}, {1e-12, -12}, {1e3, 3}}};
  for (const auto& [known, shift] : kShifts) {
    if (known == scale) return shift;
  }
  return static_cast<int>(std::lround(std::log10(scale)));
}

}  // namespace

double InBaseUnit(double value, double scale) {
  if (scale == 1.0 || value == 0.0 || !std::isfinite(value)) return value * scale;
  // The shortest decimal form that reads back as `value`, its exponent moved by the scale's.
  std::array<char, 48> text;
  const auto written =
      std::to_chars(text.data(), text.data() + 32, value, std::chars_format::scientific);
  std::string_view decimal(text.data(), static_cast<std::size_t>(written.ptr - text.data()));
  const std::size_t e = decimal.find('e');
  int exponent = 0;
  if (written.ec != std::errc() || e == std::string_view::npos ||
      std::from_chars(decimal.data() + e + 1 + (decimal[e + 1] == '+' ? 1 : 0),
                      decimal.data() + decimal.size(), exponent)
              .ec != std::errc()) {
    return value * scale;
  }
  exponent += DecimalShift(scale);
  const auto end = std::to_chars(text.data() + e + 1, text.data() + text.size(), exponent);
  const std::string_view shifted(text.data(), static_cast<std::size_t>(end.ptr - text.data()));
  double moved = 0;
  std::size_t at = 0;
  bool comma = false;
  if (ReadShortDecimal(shifted, at, false, moved, comma) && at == shifted.size()) return moved;
  const auto read = std::from_chars(shifted.data(), shifted.data() + shifted.size(), moved);
  return read.ec == std::errc() ? moved : value * scale;
}

HeadingParts SplitHeading(std::string_view heading) {
  const std::string_view text = TrimBlanks(heading);
  if (text.empty()) return {};
  if (ParseUnit(text)) return {{}, text};
  const char last = text.back();
  if (last == ')' || last == ']') {
    const char open = last == ')' ? '(' : '[';
    int depth = 0;
    for (std::size_t i = text.size(); i-- > 0;) {
      if (text[i] == last) ++depth;
      if (text[i] == open && --depth == 0) {
        const std::string_view inner = TrimBlanks(text.substr(i + 1, text.size() - i - 2));
        if (ParseUnit(inner)) return {TrimBlanks(text.substr(0, i)), inner};
        break;
      }
    }
  }
  for (std::size_t slash = text.find('/'); slash != std::string_view::npos;
       slash = text.find('/', slash + 1)) {
    const std::string_view rest = TrimBlanks(text.substr(slash + 1));
    if (ParseUnit(rest)) return {TrimBlanks(text.substr(0, slash)), rest};
  }
  return {text, {}};
}

ColumnInfo DescribeColumn(std::string_view heading, std::string_view unitField) {
  ColumnInfo column;
  column.heading = HeadingText(TrimBlanks(heading));
  std::string_view name;
  if (!TrimBlanks(unitField).empty()) {
    column.unit = HeadingText(TrimBlanks(unitField));
    name = column.heading;
  } else {
    const HeadingParts parts = SplitHeading(column.heading);
    name = parts.name;
    column.unit = std::string(parts.unit);
  }
  const std::optional<Unit> unit = column.unit.empty() ? std::nullopt : ParseUnit(column.unit);
  if (!unit) {
    column.quantity = NameQuantity(name);
    return column;
  }
  switch (unit->kind) {
    case UnitKind::Potential: column.quantity = Quantity::Potential; break;
    case UnitKind::Current: column.quantity = Quantity::Current; break;
    case UnitKind::Time: column.quantity = Quantity::Time; break;
    case UnitKind::Charge: column.quantity = Quantity::Charge; break;
    case UnitKind::Rate:
    case UnitKind::Frequency: return column;  // a setting, never a point's coordinate
  }
  column.scale = unit->scale;
  return column;
}

std::string HeadingText(std::string_view bytes) {
  if (ValidUtf8(bytes)) return std::string(bytes);
  std::string text;
  text.reserve(bytes.size() + 8);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

int PotentialRank(const ColumnInfo& column) {
  if (column.text || column.setting || column.quantity != Quantity::Potential) return 0;
  const std::string_view name = SplitHeading(column.heading).name;
  if (SameName(name, "Vstep")) return 5;
  if (SameName(name, "Vfwd")) return 4;
  if (InList(name, kMeasuredPotentials) || ChannelName(name, "Potential")) return 3;
  if (InList(name, kAppliedPotentials)) return 1;
  return InList(name, kOtherPotentials) ? 0 : 2;
}

bool NamesElectrodeChannel(const ColumnInfo& column) {
  const std::string_view name = SplitHeading(column.heading).name;
  return ChannelName(name, "Potential") || ChannelName(name, "Current");
}

int CurrentRank(const ColumnInfo& column) {
  if (column.text || column.setting || column.quantity != Quantity::Current) return 0;
  const std::string_view name = SplitHeading(column.heading).name;
  if (SameName(name, "Idif")) return 3;
  return InList(name, kNamedCurrents) || ChannelName(name, "Current") ? 2 : 1;
}

}  // namespace kivex::io
