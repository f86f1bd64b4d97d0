// The report box (编辑框1): appending at its end without disturbing the user, and reading it.
// Window thread only.
#pragma once

#include <windows.h>

#include "engine/text.h"

namespace sw {

// Appends text at the end of the box. The user's caret, selection and scroll position stay as
// they were; the cost follows the length of the text appended, not of the report.
void appendToReportBox(HWND box, const Text& text);

// The whole content of the box, in the code page.
Text reportBoxText(HWND box);

}  // namespace sw
