// Writing a whole file at once, as Save does: the file is created or truncated, held without
// sharing while it is written, and closed.
#pragma once

#include "engine/text.h"
#include "platform/input_file.h"

namespace sw {

// Writes bytes as the whole content of the file at path. Returns 0, or the reason the file
// could not be created or written (a failed write leaves what was written before it).
SysError writeWholeFile(const Text& path, const Bytes& bytes);

// The system's own wording of an error, in the code page.
Text systemErrorText(SysError error);

}  // namespace sw
