#include "engine/labels.h"

#include "platform/code_page.h"

namespace sw {
namespace {

Labels convert() {
  Labels l;
  l.name = fromUtf8("文件名：");
  l.path = fromUtf8("文件路径：");
  l.size = fromUtf8("文件尺寸：");
  l.bytes = fromUtf8("字节");
  l.time = fromUtf8("修改时间：");
  l.description = fromUtf8("文件描述：");
  l.language = fromUtf8("语言：");
  l.version = fromUtf8("文件版本：");
  l.md5 = fromUtf8("MD5：");
  l.sha1 = fromUtf8("SHA1：");
  l.crc32 = fromUtf8("CRC32：");
  l.missing = fromUtf8("文件不存在");
  l.unreadable = fromUtf8("无法读取");
  l.appName = "Sumwarden";
  l.captionPrefix = fromUtf8("Sumwarden - 已校验");
  l.captionSuffix = fromUtf8("个文件");
  l.year = fromUtf8("年");
  l.month = fromUtf8("月");
  l.day = fromUtf8("日");
  l.hour = fromUtf8("时");
  l.minute = fromUtf8("分");
  l.second = fromUtf8("秒");
  return l;
}

}  // namespace

const Labels& labels() {
  static const Labels converted = convert();
  return converted;
}

Text captionAfterRuns(int32_t total) {
  const Labels& l = labels();
  return l.captionPrefix + integerToText(total) + l.captionSuffix;
}

}  // namespace sw
