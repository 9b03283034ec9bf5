// Settings of the experiment as headers write them, in V, s, V/s and Hz.

#include "io/file_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kivex::io {
namespace {

FileSettings Read(const std::vector<std::string>& lines) {
  SettingsReader reader;
  long long number = 0;
  for (const std::string& line : lines) reader.Line(line, ++number);
  return reader.Settings();
}

using Slot = std::optional<double> FileSettings::*;

struct SettingCase {
  std::string line;
  Slot slot;
  double value;
};

// One line, one setting: each shape and each unit, converted by hand.
TEST(FileSettings, EachLineShapeGivesItsSettingInBaseUnits) {
  const SettingCase cases[] = {
      {"Scan Rate (V/s) = 0.1", &FileSettings::scanRate, 0.1},
      {"Scan rate (mV/s) = 50", &FileSettings::scanRate, 0.05},
      {"SCANRATE\tQUANT\t100\tScan Rate (mV/s)", &FileSettings::scanRate, 0.1},
      {"SCANRATE\tQUANT\t0.2\tScan Rate (V/s)", &FileSettings::scanRate, 0.2},
      {"Init E (V) = 0.6", &FileSettings::initialPotential, 0.6},
      {"Ei (V)     0,500", &FileSettings::initialPotential, 0.5},
      {"VINIT\tPOTEN\t-0.5\tT\tInitial E (V)", &FileSettings::initialPotential, -0.5},
      {"Start potential (mV) = 250", &FileSettings::initialPotential, 0.25},
      {"VLIMIT1\tPOTEN\t0.8\tF\tScan Limit 1 (V)", &FileSettings::vertex1, 0.8},
      {"E2 (V)              -0,200", &FileSettings::vertex2, -0.2},
      {"Final E (V) = -0.4", &FileSettings::finalPotential, -0.4},
      {"STEPSIZE\tQUANT\t2\tStep Size (mV)", &FileSettings::step, 0.002},
      {"Sample Interval (V) = 0.001", &FileSettings::step, 0.001},
      {"Incr E (V) = 0.004", &FileSettings::step, 0.004},
      {"Quiet Time (sec) = 2", &FileSettings::quietTime, 2},
      {"tR (h:m:s)   1:02:03.5000", &FileSettings::quietTime, 3723.5},
      {"Amplitude (V) = 0.025", &FileSettings::pulseHeight, 0.025},
      {"PULSESIZE\tQUANT\t50\tPulse Size (mV)", &FileSettings::pulseHeight, 0.05},
      {"Pulse Width (sec) = 0.05", &FileSettings::pulseWidth, 0.05},
      {"PULSETIME\tQUANT\t0.1\tPulse Time (s)", &FileSettings::pulseWidth, 0.1},
      {"Pulse Period (sec) = 0.2", &FileSettings::pulsePeriod, 0.2},
      {"Frequency (Hz) = 15", &FileSettings::frequency, 15},
      {"FREQUENCY\tQUANT\t25\tFrequency (Hz)", &FileSettings::frequency, 25},
  };
  for (const SettingCase& c : cases) {
    const FileSettings settings = Read({c.line});
    ASSERT_TRUE((settings.*c.slot).has_value()) << c.line;
    EXPECT_DOUBLE_EQ(*(settings.*c.slot), c.value) << c.line;
    EXPECT_EQ(settings.found.size(), 1u) << c.line;
  }
}

TEST(FileSettings, CountsTechniquesAndWhatIsNoSetting) {
  FileSettings settings = Read({"Segment = 6", "CYCLES\tIQUANT\t3\tCycles (#)"});
  EXPECT_EQ(settings.segments, 6);
  EXPECT_EQ(settings.cycles, 3);
  EXPECT_EQ(settings.found, (std::vector<std::string>{"Segment = 6", "Cycles (#) = 3"}));
  EXPECT_EQ(Read({"Mar. 14, 2025", "Differential Pulse Voltammetry"}).technique, 4);
  EXPECT_EQ(Read({"Cyclic Voltammetry: CV i vs E Scan 1,,"}).technique, 1);
  EXPECT_EQ(Read({"TAG\tSQWV"}).technique, 5);
  EXPECT_EQ(Read({"Square Wave Voltammetry"}).technique, 5);
  // Lines that only look like settings.
  settings = Read({"Segment 1:", "Ep = 0.2V", "Sensitivity (A/V) = 1e-5", "Cycles = 2.5",
                   "Scan Rate (furlongs) = 3", "Quiet Time (V) = 2", "Init P/N = X",
                   "Date: 2025-03-14, 10:21:07", "Cyclic Voltammetry results"});
  EXPECT_EQ(settings.technique, 0);
  EXPECT_FALSE(settings.cycles || settings.segments || settings.scanRate || settings.quietTime);
  EXPECT_TRUE(settings.found.empty());
}

TEST(FileSettings, VerticesFollowTheFirstSweepAndTheFirstValueStays) {
  const std::vector<std::string> limits = {"High E (V) = 0.6", "Low E (V) = -0.2"};
  FileSettings settings = Read({limits[0], limits[1], "Init P/N = N"});
  EXPECT_EQ(settings.vertex1, -0.2);
  EXPECT_EQ(settings.vertex2, 0.6);
  settings = Read({"Init P/N = P", limits[0], limits[1]});
  EXPECT_EQ(settings.vertex1, 0.6);
  EXPECT_EQ(settings.vertex2, -0.2);
  // The rate's unit on a line of its own, after the rate.
  settings = Read({"dE/dt               100,000", "dE/dt unit          mV/s"});
  EXPECT_DOUBLE_EQ(*settings.scanRate, 0.1);
  settings = Read({"dE/dt               0,02"});
  EXPECT_DOUBLE_EQ(*settings.scanRate, 0.02);
  settings = Read(
      {"Scan Rate (V/s) = 0.1", "Scan Rate (V/s) = 0.5", "Init E (V) = 0.6", "Init E (V) = 0.9"});
  EXPECT_EQ(settings.scanRate, 0.1);
  EXPECT_EQ(settings.initialPotential, 0.6);
  EXPECT_EQ(settings.found.size(), 2u);
}

TEST(FileSettings, AColumnHeadingNamesASetting) {
  SettingsReader reader;
  EXPECT_TRUE(reader.Column(DescribeColumn("Scan rate (mV/s)"), 20));
  EXPECT_TRUE(reader.Column(DescribeColumn("E vertex1 (V)"), -0.3));
  EXPECT_FALSE(reader.Column(DescribeColumn("Number of scans"), 2.5));
  EXPECT_TRUE(reader.Column(DescribeColumn("Number of scans"), 4));
  EXPECT_FALSE(reader.Column(DescribeColumn("Current (A)"), 1e-6));
  const FileSettings settings = reader.Settings();
  EXPECT_DOUBLE_EQ(*settings.scanRate, 0.02);
  EXPECT_EQ(settings.vertex1, -0.3);
  EXPECT_EQ(settings.cycles, 4);
  EXPECT_EQ(settings.found.front(), "Scan rate (mV/s) = 20");
  EXPECT_TRUE(reader.HasKey("scan rate (mV/s)"));
  EXPECT_FALSE(reader.HasKey("Current (A)"));
}

}  // namespace
}  // namespace kivex::io
