// The system's multi-select open dialog (GetOpenFileNameA). Window thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "engine/text.h"

namespace sw {

struct ChosenFiles {
  bool confirmed = false;   // the user confirmed a selection
  bool tooMany = false;     // the selection did not fit the buffer
  std::vector<Text> paths;  // the chosen paths, when confirmed
};

// Shows the modal open dialog owned by owner, with a title and a filter ("" for all files) and
// an initial folder ("" for the dialog's choice).
ChosenFiles chooseFiles(HWND owner, const Text& title, const Text& filterText,
                        const Text& initialDir);

}  // namespace sw
