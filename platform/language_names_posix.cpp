#include <algorithm>
#include <cstdio>
#include <iterator>

#include "platform/code_page.h"
#include "platform/language_names.h"
#include "platform/version_info.h"

namespace sw {
namespace {

struct LanguageName {
  uint16_t id;
  const char* name;  // UTF-8
};

// Sorted by identifier for the binary search below.
constexpr LanguageName kNames[] = {
    {0x0000, "语言中性"},
    {0x0401, "阿拉伯语(沙特阿拉伯)"},
    {0x0402, "保加利亚语(保加利亚)"},
    {0x0404, "中文(繁体，台湾)"},
    {0x0406, "丹麦语(丹麦)"},
    {0x0407, "德语(德国)"},
    {0x0408, "希腊语(希腊)"},
    {0x0409, "英语(美国)"},
    {0x040A, "西班牙语(西班牙，传统排序)"},
    {0x040B, "芬兰语(芬兰)"},
    {0x040C, "法语(法国)"},
    {0x040D, "希伯来语(以色列)"},
    {0x040E, "匈牙利语(匈牙利)"},
    {0x040F, "冰岛语(冰岛)"},
    {0x0410, "意大利语(意大利)"},
    {0x0411, "日语(日本)"},
    {0x0412, "韩语(韩国)"},
    {0x0413, "荷兰语(荷兰)"},
    {0x0415, "波兰语(波兰)"},
    {0x0416, "葡萄牙语(巴西)"},
    {0x0418, "罗马尼亚语(罗马尼亚)"},
    {0x0419, "俄语(俄罗斯)"},
    {0x041A, "克罗地亚语(克罗地亚)"},
    {0x041D, "瑞典语(瑞典)"},
    {0x041E, "泰语(泰国)"},
    {0x041F, "土耳其语(土耳其)"},
    {0x0421, "印度尼西亚语(印度尼西亚)"},
    {0x0422, "乌克兰语(乌克兰)"},
    {0x042A, "越南语(越南)"},
    {0x0804, "中文(简体，中国)"},
    {0x0807, "德语(瑞士)"},
    {0x0809, "英语(英国)"},
    {0x080A, "西班牙语(墨西哥)"},
    {0x080C, "法语(比利时)"},
    {0x0810, "意大利语(瑞士)"},
    {0x0813, "荷兰语(比利时)"},
    {0x0816, "葡萄牙语(葡萄牙)"},
    {0x0C04, "中文(繁体，香港特别行政区)"},
    {0x0C07, "德语(奥地利)"},
    {0x0C09, "英语(澳大利亚)"},
    {0x0C0A, "西班牙语(西班牙，国际排序)"},
    {0x0C0C, "法语(加拿大)"},
    {0x1004, "中文(简体，新加坡)"},
    {0x1009, "英语(加拿大)"},
    {0x1404, "中文(繁体，澳门特别行政区)"},
};

constexpr bool lessId(const LanguageName& a, const LanguageName& b) {
  return a.id < b.id;
}

static_assert(std::is_sorted(std::begin(kNames), std::end(kNames), lessId) &&
                  std::adjacent_find(std::begin(kNames), std::end(kNames),
                                     [](const LanguageName& a, const LanguageName& b) {
                                       return a.id == b.id;
                                     }) == std::end(kNames),
              "kNames must be sorted by id without repeats");

}  // namespace

std::string languageNameUtf8(uint16_t langId) {
  const LanguageName key{langId, nullptr};
  const LanguageName* it = std::lower_bound(std::begin(kNames), std::end(kNames), key, lessId);
  if (it != std::end(kNames) && it->id == langId) return it->name;
  char fallback[32];
  std::snprintf(fallback, sizeof fallback, "未知语言(0x%04X)", static_cast<unsigned>(langId));
  return fallback;
}

Text languageName(uint32_t translation) {
  return fromUtf8(languageNameUtf8(static_cast<uint16_t>(translation & 0xFFFFu)));
}

}  // namespace sw
