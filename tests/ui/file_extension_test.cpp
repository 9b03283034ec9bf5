#include "ui/file_extension.h"

#include <gtest/gtest.h>

#include <string>

namespace kivex::ui {
namespace {

// A dot inside the name (a scan rate, a version) is no extension: the filter's is added unless
// the name already ends in one of the filter's own, in whatever case it was typed. Only a plain
// "*.ext" names an extension; patterns are split at blanks and semicolons.
TEST(FileExtension, TheFiltersExtensionIsAddedUnlessTheNameEndsInOne) {
  const struct {
    const char* path;
    const char* patterns;
    const char* named;
  } cases[] = {
      {"/data/cv_0.1Vs", "*.svg", "/data/cv_0.1Vs.svg"},
      {"/data/scan", "*.csv", "/data/scan.csv"},
      {"/data/scan.csv", "*.csv", "/data/scan.csv"},
      {"/data/scan.CSV", "*.csv", "/data/scan.CSV"},
      {"/data/scan.txt", "*.csv", "/data/scan.txt.csv"},
      {"/data/scan.txt", "*.csv *.txt", "/data/scan.txt"},
      {"/data/scan.dat", "*.csv *.txt", "/data/scan.dat.csv"},
      {"/data/scan.dat", "*.csv *.txt;*.dat", "/data/scan.dat"},
      {"/data/scanpdf", "*.pdf", "/data/scanpdf.pdf"},
      {"/data.d/.pdf", "*.pdf", "/data.d/.pdf.pdf"},
      {"C:\\runs\\cv_0.1Vs", "*.png", "C:\\runs\\cv_0.1Vs.png"},
      {"/data/scan_0.1Vs", "*.*", "/data/scan_0.1Vs"},
      {"/data/scan_0.1Vs", "*", "/data/scan_0.1Vs"},
      {"/data/scan_0.1Vs", "*.tx?", "/data/scan_0.1Vs"},
      {"/data/scan_0.1Vs", "", "/data/scan_0.1Vs"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithFilterExtension(c.path, c.patterns), c.named) << c.path << " " << c.patterns;
  }
}

}  // namespace
}  // namespace kivex::ui
