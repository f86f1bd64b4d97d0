// Path conventions of the platform.
#pragma once

namespace sw {

// The separator that ends the folder part of a path: "\" on Windows, "/" on POSIX.
const char* pathSeparator();

}  // namespace sw
