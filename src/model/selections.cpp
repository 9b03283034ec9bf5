#include "model/selections.h"

namespace kivex::model {

Count CaseCode(const AppState& app) {
  return ToCount(static_cast<long long>(app.electrode) + 10LL * app.technique);
}

}  // namespace kivex::model
