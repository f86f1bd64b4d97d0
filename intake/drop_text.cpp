#include "intake/drop_text.h"

namespace sw {

Text dropEventText(const std::vector<Text>& items) {
  if (items.size() == 1) return items.front();
  Text text;
  for (const Text& item : items) text += item + "\r\n";
  return text;
}

std::vector<Text> dropEventPaths(const Text& eventText, CharRule rule) {
  return splitText(eventText, "\r\n", rule);
}

}  // namespace sw
