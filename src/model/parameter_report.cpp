#include "model/parameter_report.h"

#include <optional>
#include <string_view>

#include "model/print_line.h"
#include "model/selections.h"

namespace kivex::model {

namespace {

class ReportWriter {
 public:
  void Pair(std::string_view label, std::optional<double> value) {
    Line(label);
    Line(value ? PrintLine().Number(*value).str() : std::string());
  }
  void Pair(std::string_view label, long long count) {
    Line(label);
    Line(PrintLine().Integer(count).str());
  }
  void Text(std::string_view label, std::string_view value) {
    Line(label);
    Line(value);
  }
  std::string text;

 private:
  void Line(std::string_view line) {
    text += line;
    text += "\r\n";
  }
};

}  // namespace

std::string ParameterReportText(const AppState& app, const CurveSet& curves) {
  // A value that was never set is an empty line, whatever other steps have run: the technique
  // (1..5 once committed), the mechanism (set with the scheme, which always has a species), the
  // instrument values (the Instrument commit) and the species and reaction tables (the full
  // gather; C_Change, run by the Chemicals dialog alone, sets fOverRT but no table).
  auto when = [](bool set, double value) -> std::optional<double> {
    if (!set) return std::nullopt;
    return value;
  };
  auto instrument = [&](double value) { return when(app.committed, value); };
  auto table = [&](double value) { return when(app.gathered, value); };

  ReportWriter report;
  report.Pair("Technique :", when(app.technique >= 1, app.technique));
  report.Pair("Mechisim :", when(app.speciesCount >= 1, app.mechanism));
  report.Pair("Electorde", app.electrode);
  report.Pair("E start :", instrument(app.Estart));
  report.Pair("E end :", instrument(app.Eend));
  report.Pair("E Step :", instrument(app.Estep));
  report.Pair("t pulse :", instrument(app.tPulse));
  report.Pair("t drop :", instrument(app.tDrop));
  report.Pair("Area Of Electrode :", instrument(app.area));
  report.Pair("E pulse :", instrument(app.Epulse));
  report.Pair("Noise (%) :", instrument(app.noise));
  report.Pair("No. OF DATA :", curves.pointCount);
  report.Pair("NUMBER OF SPECIES :", app.speciesCount);

  for (int i = 1; i <= app.speciesCount && i <= kMaxSpecies; ++i) {
    // Block i carries charge reaction i; there are at most three, so blocks 4..6 leave those
    // four lines empty.
    const bool charge = i <= kMaxCharge;
    report.Pair("Species ", i);
    report.Pair("D :", table(app.D(i)));
    report.Pair("C :", table(app.Cinit(i)));
    report.Pair("ks :", charge ? table(app.ks(i)) : std::nullopt);
    report.Pair("Alpha :", charge ? table(app.alpha(i)) : std::nullopt);
    report.Pair("n :", charge ? table(app.n(i)) : std::nullopt);
    report.Pair("E' :", charge ? table(app.E0(i)) : std::nullopt);
    report.Pair("Conductivity :", table(app.conductivity(i)));
  }
  // After the written fields, and only when set, so a report without one reads as it always did.
  if (app.committed && app.quietTime > 0.0)
    report.Pair("Quiet time (s) :", std::optional<double>(app.quietTime));
  if (app.digital && AccuracyOf(app) != Accuracy::Standard)
    report.Text("Digital accuracy :", kAccuracyNames[app.accuracy]);
  return report.text;
}

}  // namespace kivex::model
