// Paths between the program's ANSI texts and the wide file functions of Windows.
// Only platform/*_win32.cpp, intake/*_win32.cpp and the Windows tests use this.
#pragma once

#include <optional>
#include <string>

#include "engine/text.h"

namespace sw {

// An ANSI text in the wide form the wide calls take.
std::wstring wideFromAnsi(const Text& text);

// A path of MAX_PATH characters or more in the extended form (\\?\C:\... or
// \\?\UNC\server\share\...) that the wide file functions take without a length limit;
// nullopt for a shorter path, which the ANSI functions take as it is.
std::optional<std::wstring> longPathForm(const Text& path);

// The path as an ANSI text that names the same file: the path itself when the code page can
// hold every character of it, else its short (8.3) form. Without a short form, the nearest
// ANSI text.
Text ansiPathFor(const std::wstring& path);

}  // namespace sw
