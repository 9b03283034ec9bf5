#include "model/parameter_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace kivex::model {
namespace {

// Label and value lines, each ended by CR LF.
std::string Lines(std::initializer_list<std::pair<const char*, const char*>> pairs) {
  std::string text;
  for (const auto& [label, value] : pairs) text += std::string(label) + "\r\n" + value + "\r\n";
  return text;
}

TEST(ParameterReport, BeforeAnyCommitTheValuesAreEmptyLines) {
  AppState app;
  app.digital = true;
  app.electrode = 1;
  const std::string expected = Lines({{"Technique :", " 0 "},
                                      {"Mechisim :", " 0 "},
                                      {"Electorde", " 1 "},
                                      {"E start :", ""},
                                      {"E end :", ""},
                                      {"E Step :", ""},
                                      {"t pulse :", ""},
                                      {"t drop :", ""},
                                      {"Area Of Electrode :", ""},
                                      {"E pulse :", ""},
                                      {"Noise (%) :", ""},
                                      {"No. OF DATA :", " 0 "},
                                      {"NUMBER OF SPECIES :", " 0 "}});
  EXPECT_EQ(ParameterReportText(app, CurveSet()), expected);
}

AppState DefaultExperiment() {
  AppState app;
  app.technique = 1;
  app.mechanism = 0;
  app.digital = true;
  app.electrode = 1;
  app.committed = true;
  app.Estart = 0.3;
  app.Eend = -0.3;
  app.Estep = 0.005;
  app.tPulse = 0.05;
  app.tDrop = 0.5;
  app.area = 1;
  app.Epulse = -0.05;
  app.noise = 0;
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

TEST(ParameterReport, DefaultSchemeWritesTwoSpeciesBlocksInTheGeneralForm) {
  CurveSet curves;
  curves.pointCount = 121;
  // Species 1 carries charge reaction 1, species 2 charge reaction 2.
  const std::string expected = Lines({{"Technique :", " 1 "},
                                      {"Mechisim :", " 0 "},
                                      {"Electorde", " 1 "},
                                      {"E start :", " .3 "},
                                      {"E end :", "-.3 "},
                                      {"E Step :", " .005 "},
                                      {"t pulse :", " .05 "},
                                      {"t drop :", " .5 "},
                                      {"Area Of Electrode :", " 1 "},
                                      {"E pulse :", "-.05 "},
                                      {"Noise (%) :", " 0 "},
                                      {"No. OF DATA :", " 121 "},
                                      {"NUMBER OF SPECIES :", " 2 "},
                                      {"Species ", " 1 "},
                                      {"D :", " 1E-05 "},
                                      {"C :", " .000999584 "},
                                      {"ks :", " 10000 "},
                                      {"Alpha :", " .5 "},
                                      {"n :", " 1 "},
                                      {"E' :", " .1 "},
                                      {"Conductivity :", " 100 "},
                                      {"Species ", " 2 "},
                                      {"D :", " 1E-05 "},
                                      {"C :", " 4.159E-07 "},
                                      {"ks :", " 10000 "},
                                      {"Alpha :", " .5 "},
                                      {"n :", " 1 "},
                                      {"E' :", "-.1 "},
                                      {"Conductivity :", " 200 "}});
  EXPECT_EQ(ParameterReportText(DefaultExperiment(), curves), expected);
}

TEST(ParameterReport, SpeciesBeyondTheThirdHaveNoChargeValues) {
  AppState app = DefaultExperiment();
  app.speciesCount = 4;
  const std::string text = ParameterReportText(app, CurveSet());
  const std::string block4 = Lines({{"Species ", " 4 "},
                                    {"D :", " 1E-05 "},
                                    {"C :", " 0 "},
                                    {"ks :", ""},
                                    {"Alpha :", ""},
                                    {"n :", ""},
                                    {"E' :", ""},
                                    {"Conductivity :", " 400 "}});
  ASSERT_GE(text.size(), block4.size());
  EXPECT_EQ(text.substr(text.size() - block4.size()), block4);
  EXPECT_NE(text.find(Lines({{"E' :", "-.2 "}, {"Conductivity :", " 300 "}})), std::string::npos);

  // A scheme built before the full gather: its table values were never set.
  app.fOverRT = 0;
  const std::string early = ParameterReportText(app, CurveSet());
  EXPECT_NE(early.find(Lines({{"Species ", " 1 "}, {"D :", ""}, {"C :", ""}})), std::string::npos);
}

}  // namespace
}  // namespace kivex::model
