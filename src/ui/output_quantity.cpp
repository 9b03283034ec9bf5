#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

// The output quantities are not in this build yet: the stored total current stays as it is.
void ApplyOutputQuantity(Session&) {}

}  // namespace kivex::ui
