// Conversions between UTF-16 and UTF-8 that do not depend on the code page.
#pragma once

#include <string>
#include <string_view>

namespace sw {

// Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view in);

// Invalid sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view in);

// Length in bytes of the UTF-8 sequence that starts with byte c (1 for a stray byte).
size_t utf8SequenceLength(unsigned char c);

}  // namespace sw
