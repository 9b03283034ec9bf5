// kivex-batch: runs a script of dialog and menu commands on one session, headless.
//
//   kivex-batch examples/default_simulation.kivex
//   kivex-batch < script.kivex
//   kivex-batch --list            every name a script can use

#include <fstream>
#include <iostream>
#include <string_view>

#include "ui/control_listing.h"
#include "ui/script.h"
#include "ui/session.h"

int main(int argc, char** argv) {
  if (argc > 2 ||
      (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h"))) {
    std::cerr << "usage: kivex-batch [SCRIPT]   (reads standard input without SCRIPT)\n"
                 "       kivex-batch --list     every dialog, control and fit slot a script names\n"
                 "exit status: 0 done, 1 a command refused or failed, 2 a line could not be run\n";
    return argc > 2 ? 2 : 0;
  }
  kivex::ui::ScriptPlatform platform(std::cout, std::cerr);
  kivex::ui::Session session(platform);
  if (argc == 2 && std::string_view(argv[1]) == "--list") {
    kivex::ui::WriteControlListing(session, std::cout);
    return 0;
  }
  kivex::ui::ScriptRunner runner(session, platform, std::cout);
  if (argc == 2) {
    std::ifstream script(argv[1], std::ios::binary);
    if (!script) {
      std::cerr << "kivex-batch: cannot open " << argv[1] << '\n';
      return 2;
    }
    return runner.Run(script, argv[1], std::cerr);
  }
  return runner.Run(std::cin, "<stdin>", std::cerr);
}
