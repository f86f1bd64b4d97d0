// Names of Windows language identifiers, in Chinese, for the POSIX build where no system call
// names them.
#pragma once

#include <cstdint>
#include <string>

namespace sw {

// The name of a language identifier in UTF-8, such as "英语(美国)" for 0x0409; an identifier
// the table does not hold gets "未知语言(0x1234)".
std::string languageNameUtf8(uint16_t langId);

}  // namespace sw
