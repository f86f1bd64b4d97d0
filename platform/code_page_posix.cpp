#include <iconv.h>
#include <langinfo.h>

#include <strings.h>
#include <cerrno>
#include <clocale>

#include <algorithm>
#include <cstring>

#include "platform/code_page.h"
#include "platform/utf.h"

namespace sw {
namespace {

struct CodePage {
  std::string charset;  // as nl_langinfo(CODESET) names it
  bool passThrough;     // UTF-8, or the C locale: texts stay UTF-8
  CharRule rule;
};

bool isOneOf(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* n : names) {
    if (strcasecmp(name.c_str(), n) == 0) return true;
  }
  return false;
}

CodePage settle() {
  setlocale(LC_ALL, "");
  CodePage cp;
  cp.charset = nl_langinfo(CODESET);
  cp.passThrough = isOneOf(cp.charset, {"UTF-8", "UTF8", "ANSI_X3.4-1968", "ASCII", ""});
  cp.rule = isOneOf(cp.charset, {"GBK", "GB2312", "GB18030", "BIG5", "BIG5-HKSCS", "EUC-CN",
                                 "EUC-KR", "CP936", "CP949", "CP950"})
                ? CharRule::kDoubleByte
                : CharRule::kSingleByte;
  return cp;
}

const CodePage& codePage() {
  static const CodePage cp = settle();
  return cp;
}

// Converts with iconv; a character the target cannot hold becomes "?".
Text convertUtf8(std::string_view in, const std::string& charset) {
  iconv_t cd = iconv_open(charset.c_str(), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return Text(in);
  Text out;
  char buf[256];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, static_cast<size_t>(dst - buf));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // An unconvertible or broken sequence: replace one character and go on.
      const size_t skip = std::min(srcLeft, utf8SequenceLength(static_cast<unsigned char>(*src)));
      src += skip;
      srcLeft -= skip;
      out += '?';
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

void initCodePage() {
  codePage();
}

CharRule activeCharRule() {
  return codePage().rule;
}

Text codePageName() {
  return codePage().charset;
}

Text fromUtf8(std::string_view utf8) {
  const CodePage& cp = codePage();
  if (cp.passThrough) return Text(utf8);
  return convertUtf8(utf8, cp.charset);
}

Text fromUtf16(std::u16string_view utf16) {
  return fromUtf8(utf16ToUtf8(utf16));
}

std::string toUtf8(std::string_view text) {
  const CodePage& cp = codePage();
  if (cp.passThrough) return std::string(text);
  iconv_t cd = iconv_open("UTF-8", cp.charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out(text.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(text.data());
  size_t srcLeft = text.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  while (srcLeft > 0 && iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
    ++src;  // skip a byte the charset does not know
    --srcLeft;
  }
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace sw
