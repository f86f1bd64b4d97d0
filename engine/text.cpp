#include "engine/text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "engine/labels.h"
#include "platform/code_page.h"

namespace sw {
namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (H. Hinnant's civil calendar algorithm).
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct CivilDate {
  int64_t year;
  int month;
  int day;
};

CivilDate civilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2), month, day};
}

constexpr int64_t kEpochDays = -25569;  // 1899-12-30 counted from 1970-01-01

bool isLead(unsigned char c, CharRule rule) {
  return rule == CharRule::kDoubleByte && c >= 0x80;
}

// Calls visit(position) at every character start of t that still has room for n bytes.
template <typename Visit>
void forEachCharStart(std::string_view t, size_t n, CharRule rule, Visit visit) {
  size_t i = 0;
  while (i + n <= t.size()) {
    const size_t skip = visit(i);
    if (skip > 0) {
      i += skip;
      continue;
    }
    i += isLead(static_cast<unsigned char>(t[i]), rule) ? 2 : 1;
  }
}

Text changeCase(std::string_view t, CharRule rule, char from, char to, int delta) {
  Text out(t);
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (isLead(c, rule)) {
      ++i;  // the second byte belongs to the character
    } else if (c >= static_cast<unsigned char>(from) && c <= static_cast<unsigned char>(to)) {
      out[i] = static_cast<char>(c + delta);
    }
  }
  return out;
}

}  // namespace

Text integerToText(int64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return Text(buf, r.ptr);
}

double roundReal(double x, int32_t places) {
  if (x == 0 || std::isnan(x)) return x;
  const bool negative = x < 0;
  const double a = std::fabs(x);
  double p = 1;
  double z;
  if (places > 0) {
    p = std::pow(10.0, places);
    const double y = p * a;
    z = y + 1e-12;
  } else if (places == 0) {
    z = a + 1e-12;
  } else {
    p = std::pow(10.0, -places);
    const double y = a / p;
    z = y + 1e-12;
  }
  double i;
  const double f = std::modf(z, &i);
  if (f >= 0.5) i += 1;
  double r = places > 0 ? i / p : places == 0 ? i : i * p;
  return negative ? -r : r;
}

Text realToText(double x) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 13);
  return Text(buf, r.ptr);
}

DateTimeValue makeDateTime(int year, int month, int day, int hour, int minute, int second) {
  const double days = static_cast<double>(daysFromCivil(year, month, day) - kEpochDays);
  const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  return days < 0 ? days - time : days + time;
}

Text dateTimeToText(DateTimeValue v) {
  if (std::isnan(v) || v < kEarliestDateTime) v = kEarliestDateTime;
  if (v > kLatestDateTime) v = kLatestDateTime;
  double wholeDays;
  const double fraction = std::fabs(std::modf(v, &wholeDays));
  int64_t days = static_cast<int64_t>(wholeDays);
  int64_t seconds = static_cast<int64_t>(fraction * 86400.0 + 0.5);
  if (seconds >= 86400) {  // rounding reached the next midnight
    seconds -= 86400;
    days += 1;
  }
  const CivilDate date = civilFromDays(days + kEpochDays);
  const int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  // The labels are ASCII digits around CJK unit characters; they go through the code page.
  const Labels& l = labels();
  Text out = integerToText(date.year) + l.year + integerToText(date.month) + l.month +
             integerToText(date.day) + l.day;
  if (s != 0) {
    out += integerToText(h) + l.hour + integerToText(m) + l.minute + integerToText(s) + l.second;
  } else if (m != 0) {
    out += integerToText(h) + l.hour + integerToText(m) + l.minute;
  } else if (h != 0) {
    out += integerToText(h) + l.hour;
  }
  return out;
}

Text hexText(int32_t v) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<uint32_t>(v), 16);
  Text out(buf, r.ptr);
  for (char& c : out) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 0x20);
  }
  return out;
}

Text asciiUpper(std::string_view t, CharRule rule) {
  return changeCase(t, rule, 'a', 'z', -0x20);
}
Text asciiLower(std::string_view t, CharRule rule) {
  return changeCase(t, rule, 'A', 'Z', 0x20);
}
Text asciiUpper(std::string_view t) {
  return asciiUpper(t, activeCharRule());
}
Text asciiLower(std::string_view t) {
  return asciiLower(t, activeCharRule());
}

std::vector<Text> splitText(std::string_view t, std::string_view sep, CharRule rule) {
  std::vector<Text> members;
  if (t.empty()) return members;
  if (sep.empty()) {
    members.emplace_back(t);
    return members;
  }
  size_t pieceStart = 0;
  forEachCharStart(t, sep.size(), rule, [&](size_t i) -> size_t {
    if (t.compare(i, sep.size(), sep) != 0) return 0;
    members.emplace_back(t.substr(pieceStart, i - pieceStart));
    pieceStart = i + sep.size();
    return sep.size();
  });
  if (pieceStart < t.size()) members.emplace_back(t.substr(pieceStart));
  return members;
}

std::vector<Text> splitText(std::string_view t, std::string_view sep) {
  return splitText(t, sep, activeCharRule());
}

int32_t findLast(std::string_view t, std::string_view pattern, CharRule rule) {
  if (pattern.empty()) return t.empty() ? -1 : 1;
  int64_t last = -1;
  forEachCharStart(t, pattern.size(), rule, [&](size_t i) -> size_t {
    if (t.compare(i, pattern.size(), pattern) == 0) last = static_cast<int64_t>(i) + 1;
    return 0;  // matches may overlap
  });
  return static_cast<int32_t>(last);
}

int32_t findLast(std::string_view t, std::string_view pattern) {
  return findLast(t, pattern, activeCharRule());
}

Text leftText(std::string_view t, int64_t n) {
  if (n <= 0) return Text();
  if (static_cast<uint64_t>(n) >= t.size()) return Text(t);
  return Text(t.substr(0, static_cast<size_t>(n)));
}

Text rightText(std::string_view t, int64_t n) {
  if (n <= 0) return Text();
  if (static_cast<uint64_t>(n) >= t.size()) return Text(t);
  return Text(t.substr(t.size() - static_cast<size_t>(n)));
}

int64_t textLength(std::string_view t) {
  return static_cast<int64_t>(t.size());
}

Bytes textToBytes(std::string_view t) {
  return Bytes(t.begin(), t.end());
}

Text bytesToText(const uint8_t* data, size_t size) {
  const void* zero = size ? std::memchr(data, 0, size) : nullptr;
  const size_t n = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : size;
  return Text(reinterpret_cast<const char*>(data), n);
}

Text bytesToText(const Bytes& b) {
  return bytesToText(b.data(), b.size());
}

int64_t truncateToInteger(double x) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (std::isnan(x) || x >= kLimit || x < -kLimit) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(x);
}

int32_t truncateToInt32(double x) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(truncateToInteger(x))));
}

Text cutText(std::string_view t, size_t maxBytes, CharRule rule) {
  if (t.size() <= maxBytes) return Text(t);
  size_t end = 0;
  while (end < maxBytes) {
    const size_t width = isLead(static_cast<unsigned char>(t[end]), rule) ? 2 : 1;
    if (end + width > maxBytes) break;
    end += width;
  }
  return Text(t.substr(0, end));
}

}  // namespace sw
