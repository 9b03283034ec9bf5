#include "model/parameter_report.h"

#include <optional>
#include <string_view>

#include "model/print_line.h"

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
  std::string text;

 private:
  void Line(std::string_view line) {
    text += line;
    text += "\r\n";
  }
};

}  // namespace

std::string ParameterReportText(const AppState& app, const CurveSet& curves) {
  // The instrument values exist once a commit has run; the species and reaction tables once the
  // full gather has run, which is also what gives fOverRT its (positive) value.
  const bool instrumentSet = app.committed;
  const bool tablesSet = app.fOverRT > 0;
  auto instrument = [&](double value) -> std::optional<double> {
    if (!instrumentSet) return std::nullopt;
    return value;
  };
  auto table = [&](double value) -> std::optional<double> {
    if (!tablesSet) return std::nullopt;
    return value;
  };

  ReportWriter report;
  report.Pair("Technique :", app.technique);
  report.Pair("Mechisim :", app.mechanism);
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
  return report.text;
}

}  // namespace kivex::model
