// The process's code page: its character rule and the conversions of the program's own
// strings into it.
//
// On Windows the code page is the ANSI code page (GetACP); on POSIX the charset of the locale
// after setlocale(LC_ALL, ""). initCodePage() settles it once at start-up, before any other
// thread runs; until then the first use settles it. Afterwards everything here is read-only and
// safe from any thread.
#pragma once

#include <string_view>

#include "engine/text.h"

namespace sw {

// Settles the code page from the environment (POSIX: calls setlocale(LC_ALL, "")).
void initCodePage();

// The character rule of the code page: double-byte for the East Asian double-byte code pages
// (932, 936, 949, 950; GBK, GB2312, GB18030, BIG5, EUC-CN, EUC-KR), single-byte otherwise.
CharRule activeCharRule();

// A name of the code page for messages and tests, such as "936" or "UTF-8".
Text codePageName();

// Converts UTF-8 into the code page. A character the code page cannot hold becomes "?".
// In the C locale the text stays UTF-8.
Text fromUtf8(std::string_view utf8);

// Converts UTF-16 (host order) into the code page, as fromUtf8 does.
Text fromUtf16(std::u16string_view utf16);

// Converts text in the code page into UTF-8 (for tests and diagnostics).
std::string toUtf8(std::string_view text);

}  // namespace sw
