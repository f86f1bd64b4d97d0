#include <unistd.h>

#include "cli/console.h"

namespace sw {

void setBinaryStdout() {}

bool stderrIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace sw
