#pragma once
// What a script can name: every dialog's controls with their kind, caption and list entries, and
// what each fit slot holds. `kivex-batch --list` prints it.

#include <ostream>

namespace kivex::ui {

class Session;

void WriteControlListing(Session& session, std::ostream& out);

}  // namespace kivex::ui
