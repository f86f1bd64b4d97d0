// Turning what the multi-select open dialog wrote into the list of paths of a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/text.h"

namespace sw {

// The file buffer handed to the open dialog: large enough for thousands of chosen files, so
// that a large selection is not lost.
inline constexpr size_t kOpenDialogBufferSize = 1 << 20;

// The paths of a confirmed selection, in the order the dialog wrote them. The buffer holds
// either one full path followed by two NUL bytes, or the folder, a NUL, and each name followed
// by a NUL, with one more NUL at the end; only the bytes before the first pair of NULs count.
// The folder and a name are joined with exactly one separator. A name may hold any character,
// ";" included. Bytes without a pair of NULs give no paths.
std::vector<Text> parseOpenDialogBuffer(const uint8_t* buffer, size_t size, CharRule rule,
                                        const char* separator);

// The dialog's filter list: the bytes of "description|pattern|..." with every "|" turned into
// a NUL, followed by two NULs. An empty text gives just the two NULs (all files).
Bytes dialogFilterList(const Text& filterText);

}  // namespace sw
