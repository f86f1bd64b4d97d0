#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "cli/console.h"

namespace sw {

void setBinaryStdout() {
  _setmode(_fileno(stdout), _O_BINARY);
}

bool stderrIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

}  // namespace sw
