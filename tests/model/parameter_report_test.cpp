#include "model/parameter_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

namespace kivex::model {
namespace {

// Label, value, label, value... each line ended by CR LF.
std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

// The default experiment after a full commit: two species, charge reactions at 0.1 and -0.1 V.
AppState DefaultExperiment() {
  AppState app;
  app.technique = app.electrode = 1;
  app.digital = app.committed = app.gathered = true;
  app.Estart = 0.3;
  app.Eend = -0.3;
  app.Estep = 0.005;
  app.tPulse = 0.05;
  app.tDrop = 0.5;
  app.area = 1;
  app.Epulse = -0.05;
  app.fOverRT = 38.923;
  app.speciesCount = 2;
  app.chargeCount = 1;
  for (int i = 1; i <= kMaxSpecies; ++i) {
    app.D(i) = 1e-5;
    app.conductivity(i) = 100.0 * std::min(i, 5);
  }
  app.Cinit(1) = 9.99584e-4;
  app.Cinit(2) = 4.159e-7;
  for (int j = 1; j <= kMaxCharge; ++j) {
    app.ks(j) = 1e4;
    app.alpha(j) = 0.5;
    app.n(j) = 1;
  }
  app.E0(1) = 0.1;
  app.E0(2) = -0.1;
  app.E0(3) = -0.2;
  return app;
}

TEST(ParameterReport, WritesTheExperimentInTheGeneralFormWithCrLf) {
  CurveSet curves;
  curves.pointCount = 121;
  // Species 1 carries charge reaction 1, species 2 charge reaction 2.
  // clang-format off
  EXPECT_EQ(ParameterReportText(DefaultExperiment(), curves),
            Lines({"Technique :", " 1 ", "Mechisim :", " 0 ", "Electorde", " 1 ",
                   "E start :", " .3 ", "E end :", "-.3 ", "E Step :", " .005 ",
                   "t pulse :", " .05 ", "t drop :", " .5 ", "Area Of Electrode :", " 1 ",
                   "E pulse :", "-.05 ", "Noise (%) :", " 0 ", "No. OF DATA :", " 121 ",
                   "NUMBER OF SPECIES :", " 2 ",
                   "Species ", " 1 ", "D :", " 1E-05 ", "C :", " .000999584 ", "ks :", " 10000 ",
                   "Alpha :", " .5 ", "n :", " 1 ", "E' :", " .1 ", "Conductivity :", " 100 ",
                   "Species ", " 2 ", "D :", " 1E-05 ", "C :", " 4.159E-07 ", "ks :", " 10000 ",
                   "Alpha :", " .5 ", "n :", " 1 ", "E' :", "-.1 ", "Conductivity :", " 200 "}));

  // Species beyond the third have no charge values.
  AppState app = DefaultExperiment();
  app.speciesCount = 4;
  EXPECT_TRUE(ParameterReportText(app, CurveSet()).ends_with(
      Lines({"E' :", "-.2 ", "Conductivity :", " 300 ",
             "Species ", " 4 ", "D :", " 1E-05 ", "C :", " 0 ", "ks :", "", "Alpha :", "",
             "n :", "", "E' :", "", "Conductivity :", " 400 "})));
}

TEST(ParameterReport, ValuesNeverSetAreEmptyLines) {
  AppState app;
  app.digital = true;
  app.electrode = 1;
  EXPECT_EQ(ParameterReportText(app, CurveSet()),
            Lines({"Technique :", "", "Mechisim :", "", "Electorde", " 1 ",
                   "E start :", "", "E end :", "", "E Step :", "", "t pulse :", "",
                   "t drop :", "", "Area Of Electrode :", "", "E pulse :", "",
                   "Noise (%) :", "", "No. OF DATA :", " 0 ", "NUMBER OF SPECIES :", " 0 "}));
  // clang-format on

  // A scheme built before the full gather (the Chemicals dialog opened without OK sets fOverRT):
  // its table values were never set.
  app = DefaultExperiment();
  app.gathered = false;
  const std::string early = ParameterReportText(app, CurveSet());
  EXPECT_NE(early.find(Lines({"Species ", " 1 ", "D :", "", "C :", ""})), std::string::npos);
}

}  // namespace
}  // namespace kivex::model
