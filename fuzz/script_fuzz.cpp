// The kivex-batch script reader on arbitrary scripts: every line either runs or ends the script
// with a script error; the session stays consistent. Scripts cannot touch files here.

#include <cstdint>
#include <sstream>
#include <string>

#include "session_invariants.h"
#include "ui/script.h"
#include "ui/session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Long inputs only repeat commands; a few dozen lines explore as much.
  if (size > 4096) return 0;
  std::ostringstream out;
  std::ostringstream err;
  kivex::ui::ScriptPlatform platform(out, err);
  kivex::ui::Session session(platform);
  kivex::ui::ScriptRunner runner(session, platform, out);
  runner.DenyFileAccess();
  std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
  const int result = runner.Run(script, "fuzz", err);
  FUZZ_CHECK(result >= 0 && result <= 2);
  kivex::fuzz::CheckSession(session);
  return 0;
}
