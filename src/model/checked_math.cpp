#include "model/checked_math.h"

namespace kivex::model {

void ThrowFailure(std::string_view description) { throw Failure(std::string(description)); }

}  // namespace kivex::model
