// Save's file dialog (通用对话框1). Window thread only.
#pragma once

#include <windows.h>

#include "engine/text.h"

namespace sw {

// Shows the modal save dialog owned by owner, starting from fileName; true when the user
// confirmed, with fileName then holding the full path chosen.
bool chooseReportFile(HWND owner, Text& fileName);

}  // namespace sw
