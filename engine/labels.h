// The program's own texts, written here in UTF-8 and converted once into the code page.
#pragma once

#include "engine/text.h"

namespace sw {

struct Labels {
  // Report lines.
  Text name, path, size, bytes, time, description, language, version, md5, sha1, crc32;
  Text missing;     // a path that names nothing
  Text unreadable;  // an entry whose content could not be read to its end
  // Window caption after a run: captionPrefix + total + captionSuffix.
  Text appName, captionPrefix, captionSuffix;
  // Date and time units.
  Text year, month, day, hour, minute, second;
};

// The labels in the code page; converted on first use, which the front ends make at start-up.
const Labels& labels();

// "Sumwarden - 已校验" + total + "个文件".
Text captionAfterRuns(int32_t total);

}  // namespace sw
