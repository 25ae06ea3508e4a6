// lorvane-check's exit codes, the one list of them.
#pragma once

enum CheckExitCode {
  EXIT_LOADED = 0,      // the file loads (warnings or not) and every output was written
  EXIT_REFUSED = 1,     // the viewer would refuse the file, or an export cannot be written
  EXIT_USAGE = 2,       // a wrong command line
  EXIT_WRITE = 3,       // the report, the route or the usage text cannot be written
  EXIT_NO_ADVANCE = 4,  // --route names no advance
  EXIT_WARNINGS = 5,    // --werror: the file loads, with warnings
  EXIT_NO_MEMORY = 6    // memory ran out, wherever it was asked for
};
