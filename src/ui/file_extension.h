#pragma once
// The name a save dialog's answer is written under. The dialog's own idea of an extension is
// whatever follows the last dot, so a name such as "cv_0.1Vs" would be written as it stands, in
// no format the chosen filter lists; here a name has the filter's extension only when it ends in
// one of the filter's patterns.
//
//   WithFilterExtension("/data/cv_0.1Vs", "*.svg")       -> "/data/cv_0.1Vs.svg"
//   WithFilterExtension("/data/scan.TXT", "*.csv *.txt") -> "/data/scan.TXT"
//   WithFilterExtension("/data/scan_0.1Vs", "*.*")       -> "/data/scan_0.1Vs"

#include <string>
#include <string_view>
#include <vector>

namespace kivex::ui {

// The extensions a filter's patterns name, in order and without their dots: {"csv", "txt"} for
// "*.csv *.txt" (patterns apart by spaces or semicolons); none for "*.*" or "*".
std::vector<std::string> PatternExtensions(std::string_view patterns);

// `path` as it is when its name ends in one of the patterns' extensions (in any case), else with
// the first of them added. Patterns that name no extension leave every path as it is.
std::string WithFilterExtension(std::string_view path, std::string_view patterns);

}  // namespace kivex::ui
