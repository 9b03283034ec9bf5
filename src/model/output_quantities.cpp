#include "model/output_quantities.h"

namespace kivex::model {

const QuantityTraits& QuantityTraitsOf(OutputQuantity quantity) {
  for (const QuantityTraits& row : kQuantities) {
    if (row.quantity == quantity) return row;
  }
  return kQuantities.front();
}

}  // namespace kivex::model
