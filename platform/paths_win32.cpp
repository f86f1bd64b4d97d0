#include "platform/paths.h"

namespace sw {

const char* pathSeparator() {
  return "\\";
}

}  // namespace sw
