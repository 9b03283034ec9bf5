#pragma once
// The parameter report written by File > Save: the experiment as it stands in AppState, for the
// user to keep (the program never reads it back). Labels and values alternate, each on a line of
// its own ended by CR LF; a value is written in the general numeric form (" .3 ", "-.1 ",
// " 1E-05 "), and a value that was never set gives an empty line. The labels are kept exactly as
// earlier reports spelled them, so files stay comparable.
//
//   Technique :      <- label
//    1               <- value
//   ...
//   NUMBER OF SPECIES :
//    2
//   Species          <- then eight pairs per species: Species, D, C, ks, Alpha, n, E', Conductivity

#include <string>

#include "model/app_state.h"
#include "model/curve_set.h"

namespace kivex::model {

std::string ParameterReportText(const AppState& app, const CurveSet& curves);

}  // namespace kivex::model
