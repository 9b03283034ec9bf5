#pragma once
// Each quantity a curve can show, in one row: its caption in the plot options, its axis title,
// and the symbol and unit the plot's read-out gives. A new quantity is a new enumerator of
// OutputQuantity, a row here and its derivation in simulation/output_quantity.cpp.

#include <array>
#include <string_view>

#include "model/curve_set.h"

namespace kivex::model {

struct QuantityTraits {
  OutputQuantity quantity = OutputQuantity::Current;
  std::string_view caption;    // the plot options' choice: "current I"
  std::string_view axisTitle;  // before the axis's decade: "I /A  "
  std::string_view symbol;     // the read-out's: "I"
  std::string_view unit;       // the read-out's: "A"
};

// In the order the plot options list them.
inline constexpr std::array<QuantityTraits, 4> kQuantities{{
    {OutputQuantity::Current, "current I", "I /A  ", "I", "A"},
    {OutputQuantity::Resistance, "resistance R", "R /Ohm  ", "R", "Ohm"},
    {OutputQuantity::Conductance, "conductance Cond", "Cond *Ohm  ", "Cond", "1/Ohm"},
    {OutputQuantity::Concentration, "surface concentration C", "C /M  ", "C", "M"},
}};

// The row of a quantity (the current's for a value no enumerator names).
const QuantityTraits& QuantityTraitsOf(OutputQuantity quantity);

}  // namespace kivex::model
