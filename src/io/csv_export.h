#pragma once
// Writing the current curve, with its potential axis, as a comma-separated text file that the
// import reads back. One line per point from firstPoint to lastPoint, each ended by CR LF: the
// potential in the general numeric form, a comma, blanks to the next 14-character print zone, the
// value in the same form. The general form keeps 15 significant digits.
//
//   CsvExportLine(0.3, 1.5e-5) == " .3 ,         1.5E-05 \r\n"

#include <string>

#include "model/curve_set.h"

namespace kivex::io {

std::string CsvExportLine(double x, double y);

// The whole file: the points firstPoint..lastPoint of currentCurve. No points (nothing held, or
// firstPoint beyond lastPoint) give an empty text.
std::string CsvExportText(const model::CurveSet& curves);

}  // namespace kivex::io
