#include "io/file_settings.h"

#include <array>
#include <cctype>
#include <cmath>
#include <utility>

#include "io/column_layout.h"
#include "model/number_text.h"
#include "model/technique_table.h"

namespace kivex::io {

namespace {

std::string_view FirstToken(std::string_view text) {
  text = TrimBlanks(text);
  std::size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return text.substr(0, end);
}

// "Scan Rate (mV/s)" -> {"Scan Rate", "mV/s"}: whatever stands in the last brackets.
struct KeyParts {
  std::string_view name;
  std::string_view unit;
};
KeyParts SplitKey(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && (text.back() == ')' || text.back() == ']')) {
    const char open = text.back() == ')' ? '(' : '[';
    const std::size_t at = text.rfind(open);
    if (at != std::string_view::npos) {
      return {TrimBlanks(text.substr(0, at)),
              TrimBlanks(text.substr(at + 1, text.size() - at - 2))};
    }
  }
  return {text, {}};
}

enum class Target {
  ScanRate,
  RateUnit,
  Initial,
  Vertex1,
  Vertex2,
  High,
  Low,
  Direction,
  Final,
  Step,
  Quiet,
  PulseHeight,
  PulseWidth,
  PulsePeriod,
  Frequency,
  Segments,
  Cycles,
};

enum class Kind { Potential, Time, Rate, Frequency, Count, Text };

Kind KindOf(Target target) {
  switch (target) {
    case Target::ScanRate: return Kind::Rate;
    case Target::Quiet:
    case Target::PulseWidth:
    case Target::PulsePeriod: return Kind::Time;
    case Target::Frequency: return Kind::Frequency;
    case Target::Segments:
    case Target::Cycles: return Kind::Count;
    case Target::RateUnit:
    case Target::Direction: return Kind::Text;
    default: break;
  }
  return Kind::Potential;
}

// The technique whose row lists a name (in its `names`) that `matches` accepts, and the name; 0
// when no row does.
template <typename Matches>
std::pair<int, std::string_view> NamedTechnique(
    std::array<std::string_view, 2> model::TechniqueTraits::*names, Matches matches) {
  for (int technique = 1; technique <= model::kTechniqueCount; ++technique) {
    for (std::string_view name : model::FindTechnique(technique)->*names) {
      if (!name.empty() && matches(name)) return {technique, name};
    }
  }
  return {0, {}};
}

// The value types of a tagged key line.
bool IsTagType(std::string_view type) {
  for (std::string_view known :
       {"LABEL", "QUANT", "IQUANT", "POTEN", "SELECTOR", "TOGGLE", "ONOFF", "INT", "FLOAT"}) {
    if (type == known) return true;
  }
  return false;
}

// "0:00:02.0000" (hours, minutes, seconds) in seconds.
std::optional<double> ClockSeconds(std::string_view text) {
  double total = 0;
  int parts = 0;
  while (true) {
    const std::size_t colon = text.find(':');
    const std::optional<double> part = FieldNumber(text.substr(0, colon), true);
    if (!part || *part < 0 || ++parts > 3) return std::nullopt;
    total = total * 60 + *part;
    if (colon == std::string_view::npos) break;
    text.remove_prefix(colon + 1);
  }
  if (!std::isfinite(total)) return std::nullopt;
  return total;
}

}  // namespace

struct SettingsReader::Entry {
  std::string_view name;
  Target target;
  std::string_view defaultUnit;  // when neither the key nor its description names one
};

namespace {

using Entry = SettingsReader::Entry;

constexpr std::array<Entry, 63> kEntries = {{
    {"Scan Rate", Target::ScanRate, "V/s"},
    {"SCANRATE", Target::ScanRate, "mV/s"},
    {"dE/dt", Target::ScanRate, "V/s"},
    {"Sweep rate", Target::ScanRate, "V/s"},
    {"dE/dt unit", Target::RateUnit, ""},
    {"Init E", Target::Initial, "V"},
    {"Initial E", Target::Initial, "V"},
    {"Ei", Target::Initial, "V"},
    {"E begin", Target::Initial, "V"},
    {"E start", Target::Initial, "V"},
    {"VINIT", Target::Initial, "V"},
    {"Start potential", Target::Initial, "V"},
    {"Initial potential", Target::Initial, "V"},
    {"Begin potential", Target::Initial, "V"},
    {"VLIMIT1", Target::Vertex1, "V"},
    {"E1", Target::Vertex1, "V"},
    {"E vertex1", Target::Vertex1, "V"},
    {"E vertex 1", Target::Vertex1, "V"},
    {"Vertex 1", Target::Vertex1, "V"},
    {"Vertex potential", Target::Vertex1, "V"},
    {"Vertex 1 potential", Target::Vertex1, "V"},
    {"VLIMIT2", Target::Vertex2, "V"},
    {"E2", Target::Vertex2, "V"},
    {"E vertex2", Target::Vertex2, "V"},
    {"E vertex 2", Target::Vertex2, "V"},
    {"Vertex 2", Target::Vertex2, "V"},
    {"Vertex 2 potential", Target::Vertex2, "V"},
    {"High E", Target::High, "V"},
    {"Low E", Target::Low, "V"},
    {"Init P/N", Target::Direction, ""},
    {"VFINAL", Target::Final, "V"},
    {"Final E", Target::Final, "V"},
    {"Ef", Target::Final, "V"},
    {"E end", Target::Final, "V"},
    {"End potential", Target::Final, "V"},
    {"Final potential", Target::Final, "V"},
    {"STEPSIZE", Target::Step, "mV"},
    {"Sample Interval", Target::Step, "V"},
    {"Incr E", Target::Step, "V"},
    {"E step", Target::Step, "V"},
    {"Step", Target::Step, "V"},
    {"Step potential", Target::Step, "V"},
    {"Quiet Time", Target::Quiet, "s"},
    {"tR", Target::Quiet, "s"},
    {"t equilibration", Target::Quiet, "s"},
    {"Equilibration time", Target::Quiet, "s"},
    {"PULSESIZE", Target::PulseHeight, "mV"},
    {"Amplitude", Target::PulseHeight, "V"},
    {"E pulse", Target::PulseHeight, "V"},
    {"Pulse amplitude", Target::PulseHeight, "V"},
    {"Pulse height", Target::PulseHeight, "V"},
    {"PULSETIME", Target::PulseWidth, "s"},
    {"Pulse Width", Target::PulseWidth, "s"},
    {"t pulse", Target::PulseWidth, "s"},
    {"Pulse time", Target::PulseWidth, "s"},
    {"Pulse Period", Target::PulsePeriod, "s"},
    {"Frequency", Target::Frequency, "Hz"},
    {"Segment", Target::Segments, ""},
    {"Segments", Target::Segments, ""},
    {"CYCLES", Target::Cycles, ""},
    {"nc cycles", Target::Cycles, ""},
    {"Number of scans", Target::Cycles, ""},
    {"Number of cycles", Target::Cycles, ""},
}};

const Entry* FindEntry(std::string_view name) {
  for (const Entry& entry : kEntries) {
    if (SameName(entry.name, name)) return &entry;
  }
  return nullptr;
}

// Where the key of a blank-aligned line ends: at a tab or a run of two blanks.
std::size_t AlignedKeyEnd(std::string_view line) {
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    if (line[i] == '\t' || (line[i] == ' ' && line[i + 1] == ' ')) return i;
  }
  return std::string_view::npos;
}

std::optional<double>* PotentialSlot(FileSettings& settings, Target target) {
  switch (target) {
    case Target::Initial: return &settings.initialPotential;
    case Target::Vertex1: return &settings.vertex1;
    case Target::Vertex2: return &settings.vertex2;
    case Target::Final: return &settings.finalPotential;
    case Target::Step: return &settings.step;
    case Target::PulseHeight: return &settings.pulseHeight;
    case Target::Quiet: return &settings.quietTime;
    case Target::PulseWidth: return &settings.pulseWidth;
    case Target::PulsePeriod: return &settings.pulsePeriod;
    case Target::Frequency: return &settings.frequency;
    default: break;
  }
  return nullptr;
}

}  // namespace

bool SettingsReader::Line(std::string_view line, long long lineNumber) {
  const std::string_view text = TrimBlanks(line);
  if (text.empty()) return false;
  const auto [titled, title] =
      NamedTechnique(&model::TechniqueTraits::fileTitles, [text](std::string_view name) {
        return text.size() >= name.size() && SameName(text.substr(0, name.size()), name) &&
               (text.size() == name.size() || text[name.size()] == ':');
      });
  if (titled != 0) {
    if (titleLine_ == 0) titleLine_ = lineNumber;
    if (settings_.technique != 0) return false;
    settings_.technique = titled;
    settings_.found.emplace_back(text.substr(0, title.size()));
    return true;
  }
  if (text.find('\t') != std::string_view::npos) {
    std::array<std::string_view, 8> fields;
    std::size_t count = 0;
    std::string_view rest = text;
    while (count < fields.size()) {
      const std::size_t tab = rest.find('\t');
      fields[count++] = TrimBlanks(rest.substr(0, tab));
      if (tab == std::string_view::npos) break;
      rest.remove_prefix(tab + 1);
    }
    if (count >= 2 && fields[0] == "TAG") {
      const std::string_view given = fields[1];
      const auto [tagged, tag] =
          NamedTechnique(&model::TechniqueTraits::fileTags,
                         [given](std::string_view name) { return name == given; });
      if (tagged == 0 || settings_.technique != 0) return false;
      settings_.technique = tagged;
      settings_.found.push_back("TAG " + std::string(tag));
      return true;
    }
    if (count >= 3 && IsTagType(fields[1])) {
      const std::string_view description = count >= 4 ? fields[count - 1] : std::string_view();
      std::string found(description.empty() ? fields[0] : description);
      found += " = ";
      found += fields[2];
      return Take(fields[0], fields[2], SplitKey(description).unit, std::move(found));
    }
  }
  if (const std::size_t equals = text.find('='); equals != std::string_view::npos) {
    return Take(text.substr(0, equals), FirstToken(text.substr(equals + 1)), {}, std::string(text));
  }
  if (const std::size_t end = AlignedKeyEnd(text); end != std::string_view::npos) {
    if (Take(text.substr(0, end), FirstToken(text.substr(end)), {}, std::string(text))) {
      return true;
    }
  }
  if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
    return Take(text.substr(0, colon), FirstToken(text.substr(colon + 1)), {}, std::string(text));
  }
  return false;
}

bool SettingsReader::Column(const ColumnInfo& column, double value) {
  const KeyParts key = SplitKey(column.heading);
  const Entry* entry = FindEntry(key.name);
  if (entry == nullptr || KindOf(entry->target) == Kind::Text) return false;
  const std::string valueText = model::ShortestText(value);
  return Store(*entry, column.heading, valueText, key.unit, column.heading + " = " + valueText);
}

bool SettingsReader::Take(std::string_view keyText, std::string_view valueText,
                          std::string_view unitText, std::string found) {
  const KeyParts key = SplitKey(keyText);
  const Entry* entry = FindEntry(key.name);
  if (entry == nullptr || valueText.empty()) return false;
  return Store(*entry, TrimBlanks(keyText), valueText, unitText.empty() ? key.unit : unitText,
               std::move(found));
}

bool SettingsReader::Store(const Entry& entry, std::string_view keyText, std::string_view valueText,
                           std::string_view unitText, std::string found) {
  const Kind kind = KindOf(entry.target);
  bool taken = false;
  if (entry.target == Target::Direction) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(valueText.front())));
    if (direction_ == 0 && (c == 'P' || c == 'N') && valueText.size() == 1) {
      direction_ = c;
      taken = true;
    }
  } else if (entry.target == Target::RateUnit) {
    const std::optional<Unit> unit = ParseUnit(valueText);
    if (!rateUnitScale_ && unit && unit->kind == UnitKind::Rate) {
      rateUnitScale_ = unit->scale;
      taken = true;
    }
  } else if (kind == Kind::Count) {
    const std::optional<double> value = FieldNumber(valueText, true);
    std::optional<int>& slot =
        entry.target == Target::Segments ? settings_.segments : settings_.cycles;
    if (!slot && value && *value >= 0 && *value <= 1e6 && *value == std::floor(*value)) {
      slot = static_cast<int>(*value);
      taken = true;
    }
  } else {
    std::optional<double> value;
    double scale = 1;
    if (kind == Kind::Time && unitText == "h:m:s") {
      value = ClockSeconds(valueText);
    } else {
      value = FieldNumber(valueText, true);
      const bool written = !unitText.empty();
      const std::optional<Unit> unit = ParseUnit(written ? unitText : entry.defaultUnit);
      const UnitKind wanted = kind == Kind::Potential ? UnitKind::Potential
                              : kind == Kind::Time    ? UnitKind::Time
                              : kind == Kind::Rate    ? UnitKind::Rate
                                                      : UnitKind::Frequency;
      if (!unit || unit->kind != wanted) return false;
      scale = unit->scale;
      if (kind == Kind::Rate && value && !rateValue_ && !settings_.scanRate) {
        // A rate without its unit may have the unit on a line of its own ("dE/dt unit").
        if (written) {
          settings_.scanRate = InBaseUnit(*value, scale);
        } else {
          rateValue_ = *value;
          rateDefaultScale_ = scale;
        }
        taken = true;
      }
    }
    if (kind != Kind::Rate && value) {
      std::optional<double>* slot = entry.target == Target::High ? &high_
                                    : entry.target == Target::Low
                                        ? &low_
                                        : PotentialSlot(settings_, entry.target);
      if (slot != nullptr && !*slot) {
        *slot = InBaseUnit(*value, scale);
        taken = true;
      }
    }
  }
  if (taken) {
    keys_.emplace_back(keyText);
    settings_.found.push_back(std::move(found));
  }
  return taken;
}

FileSettings SettingsReader::Settings() const {
  FileSettings settings = settings_;
  if (!settings.scanRate && rateValue_) {
    settings.scanRate =
        InBaseUnit(*rateValue_, rateUnitScale_ ? *rateUnitScale_ : rateDefaultScale_);
  }
  // High and low potentials in the order the first sweep meets them.
  if (!settings.vertex1 && !settings.vertex2 && high_ && low_) {
    const bool negativeFirst = direction_ == 'N';
    settings.vertex1 = negativeFirst ? low_ : high_;
    settings.vertex2 = negativeFirst ? high_ : low_;
  }
  return settings;
}

bool SettingsReader::HasKey(std::string_view key) const {
  for (const std::string& known : keys_) {
    if (SameName(known, key)) return true;
  }
  return false;
}

}  // namespace kivex::io
