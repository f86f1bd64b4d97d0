// The text of a drop: the dropped items' full paths, and the list of paths made from it.
#pragma once

#include <vector>

#include "engine/text.h"

namespace sw {

// "" for no item, the path alone for one, each path followed by "\r\n" for two or more.
Text dropEventText(const std::vector<Text>& items);

// The paths of a drop's text: split at "\r\n", with no empty member after the last.
std::vector<Text> dropEventPaths(const Text& eventText, CharRule rule);

}  // namespace sw
