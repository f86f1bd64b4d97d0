#include "tests/pe_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/utf.h"

namespace sw::test {
namespace {

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kHeadersSize = 0x200;  // everything up to the section table fits
constexpr uint32_t kRsrcRva = 0x1000;
constexpr uint32_t kLfanew = 0x80;
constexpr uint32_t kHighBit = 0x80000000u;

size_t alignUp(size_t v, size_t a) {
  return (v + a - 1) / a * a;
}

void append16(Bytes& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void append32(Bytes& out, uint32_t v) {
  append16(out, static_cast<uint16_t>(v));
  append16(out, static_cast<uint16_t>(v >> 16));
}

void appendText(Bytes& out, std::u16string_view text) {
  for (char16_t c : text) append16(out, c);
  append16(out, 0);
}

// One block of a VS_VERSIONINFO tree.
struct Node {
  std::u16string key;
  uint16_t type = 1;  // 1: text, 0: binary
  Bytes value;
  uint16_t valueLength = 0;  // UTF-16 units for text, bytes for binary
  std::vector<Node> children;
};

// Lays a block out from offset 0; its parent places it 4-aligned, so the alignment holds there
// too. wLength stops at the end of the last child, without padding after it.
Bytes serialize(const Node& node) {
  Bytes out(6, 0);
  appendText(out, node.key);
  out.resize(alignUp(out.size(), 4), 0);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const Node& child : node.children) {
    out.resize(alignUp(out.size(), 4), 0);
    const Bytes c = serialize(child);
    out.insert(out.end(), c.begin(), c.end());
  }
  put16(out, 0, static_cast<uint16_t>(out.size()));
  put16(out, 2, node.valueLength);
  put16(out, 4, node.type);
  return out;
}

Node textNode(const VersionString& s) {
  Node n;
  n.key = utf8ToUtf16(s.name);
  const std::u16string value = utf8ToUtf16(s.value);
  appendText(n.value, value);
  n.valueLength = s.valueLength ? *s.valueLength : static_cast<uint16_t>(value.size() + 1);
  return n;
}

Bytes fixedFileInfo(const VersionDesc& desc) {
  Bytes v;
  append32(v, 0xFEEF04BD);  // signature
  append32(v, 0x00010000);  // structure version
  append32(v, static_cast<uint32_t>(desc.fileVersion >> 32));
  append32(v, static_cast<uint32_t>(desc.fileVersion));
  append32(v, static_cast<uint32_t>(desc.productVersion >> 32));
  append32(v, static_cast<uint32_t>(desc.productVersion));
  append32(v, 0x3F);        // flags mask
  append32(v, 0);           // flags
  append32(v, 0x00040004);  // VOS_NT_WINDOWS32
  append32(v, 1);           // VFT_APP
  append32(v, 0);           // subtype
  append32(v, 0);           // date
  append32(v, 0);
  return v;
}

// A name or ID at one level of the resource tree, in the order resource compilers write:
// string names first, compared in upper case, then IDs ascending.
struct Key {
  std::u16string name;
  uint16_t id = 0;
  bool named() const { return !name.empty(); }
  std::u16string upper() const {
    std::u16string u = name;
    for (char16_t& c : u) {
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return u;
  }
  bool operator<(const Key& o) const {
    if (named() != o.named()) return named();
    if (named()) return upper() < o.upper();
    return id < o.id;
  }
};

using LanguageMap = std::map<uint16_t, const Resource*>;
using NameMap = std::map<Key, LanguageMap>;
using TypeMap = std::map<uint16_t, NameMap>;

void putDirectory(Bytes& rsrc, size_t at, const std::vector<Key>& keys) {
  const size_t named = static_cast<size_t>(
      std::count_if(keys.begin(), keys.end(), [](const Key& k) { return k.named(); }));
  put16(rsrc, at + 12, static_cast<uint16_t>(named));
  put16(rsrc, at + 14, static_cast<uint16_t>(keys.size() - named));
}

}  // namespace

void put16(Bytes& bytes, size_t offset, uint16_t v) {
  bytes.at(offset) = static_cast<uint8_t>(v);
  bytes.at(offset + 1) = static_cast<uint8_t>(v >> 8);
}

void put32(Bytes& bytes, size_t offset, uint32_t v) {
  put16(bytes, offset, static_cast<uint16_t>(v));
  put16(bytes, offset + 2, static_cast<uint16_t>(v >> 16));
}

Bytes buildVersionInfo(const VersionDesc& desc) {
  Node root;
  root.key = u"VS_VERSION_INFO";
  root.type = 0;
  root.value = fixedFileInfo(desc);
  root.valueLength = static_cast<uint16_t>(root.value.size());
  if (desc.withStringFileInfo) {
    Node info;
    info.key = u"StringFileInfo";
    for (const StringTable& t : desc.tables) {
      Node table;
      table.key = utf8ToUtf16(t.key);
      for (const VersionString& s : t.strings) table.children.push_back(textNode(s));
      info.children.push_back(table);
    }
    root.children.push_back(info);
  }
  if (desc.translations) {
    Node var;
    var.key = u"Translation";
    var.type = 0;
    for (uint32_t t : *desc.translations) append32(var.value, t);
    var.valueLength = static_cast<uint16_t>(var.value.size());
    Node info;
    info.key = u"VarFileInfo";
    info.children.push_back(var);
    root.children.push_back(info);
  }
  return serialize(root);
}

PeImage buildPe(const std::vector<Resource>& resources, PeKind kind) {
  TypeMap tree;
  for (const Resource& r : resources) {
    tree[r.type][Key{utf8ToUtf16(r.name), r.name.empty() ? r.nameId : uint16_t{0}}][r.language] =
        &r;
  }

  // Directories first, then name strings, data entries and the data, as linkers place them.
  size_t size = 16 + 8 * tree.size();
  std::map<uint16_t, size_t> typeDirs;
  std::map<std::pair<uint16_t, Key>, size_t> nameDirs;
  for (const auto& [type, names] : tree) {
    typeDirs[type] = size;
    size += 16 + 8 * names.size();
  }
  for (const auto& [type, names] : tree) {
    for (const auto& [key, languages] : names) {
      nameDirs[{type, key}] = size;
      size += 16 + 8 * languages.size();
    }
  }
  std::map<std::pair<uint16_t, Key>, size_t> strings;
  for (const auto& [type, names] : tree) {
    for (const auto& [key, languages] : names) {
      if (!key.named()) continue;
      strings[{type, key}] = size;
      size += 2 + 2 * key.name.size();
    }
  }
  size = alignUp(size, 4);
  std::map<const Resource*, size_t> dataEntries;
  for (const auto& [type, names] : tree) {
    for (const auto& [key, languages] : names) {
      for (const auto& [language, r] : languages) {
        dataEntries[r] = size;
        size += 16;
      }
    }
  }
  std::map<const Resource*, size_t> data;
  for (const auto& [r, entry] : dataEntries) {
    size = alignUp(size, 8);
    data[r] = size;
    size += r->data.size();
  }

  PeImage img;
  Bytes rsrc(size, 0);
  std::vector<Key> typeKeys;
  for (const auto& [type, names] : tree) typeKeys.push_back(Key{u"", type});
  putDirectory(rsrc, 0, typeKeys);
  size_t typeAt = 16;
  for (const auto& [type, names] : tree) {
    const size_t typeDir = typeDirs[type];
    put32(rsrc, typeAt, type);
    put32(rsrc, typeAt + 4, kHighBit | static_cast<uint32_t>(typeDir));
    std::vector<Key> nameKeys;
    for (const auto& [key, languages] : names) nameKeys.push_back(key);
    putDirectory(rsrc, typeDir, nameKeys);
    // The version resource a reader picks: ID 1 when present, else the first name.
    const Key* picked = nullptr;
    if (type == 16) {
      picked = &names.begin()->first;
      for (const auto& [key, languages] : names) {
        if (!key.named() && key.id == 1) picked = &key;
      }
      img.typeDirectory = static_cast<uint32_t>(typeDir);
      img.typeEntry = typeAt;
    }
    size_t nameAt = typeDir + 16;
    for (const auto& [key, languages] : names) {
      const size_t nameDir = nameDirs[{type, key}];
      if (key.named()) {
        const size_t s = strings[{type, key}];
        put16(rsrc, s, static_cast<uint16_t>(key.name.size()));
        for (size_t i = 0; i < key.name.size(); ++i) put16(rsrc, s + 2 + 2 * i, key.name[i]);
        put32(rsrc, nameAt, kHighBit | static_cast<uint32_t>(s));
      } else {
        put32(rsrc, nameAt, key.id);
      }
      put32(rsrc, nameAt + 4, kHighBit | static_cast<uint32_t>(nameDir));
      std::vector<Key> languageKeys;
      for (const auto& [language, r] : languages) languageKeys.push_back(Key{u"", language});
      putDirectory(rsrc, nameDir, languageKeys);
      if (&key == picked) {
        img.nameDirectory = static_cast<uint32_t>(nameDir);
        img.nameEntry = nameAt;
        img.languageEntry = nameDir + 16;
        const Resource* first = languages.begin()->second;
        img.dataEntry = dataEntries[first];
        img.versionData = data[first];
        img.versionSize = first->data.size();
      }
      size_t languageAt = nameDir + 16;
      for (const auto& [language, r] : languages) {
        put32(rsrc, languageAt, language);
        put32(rsrc, languageAt + 4, static_cast<uint32_t>(dataEntries[r]));
        const size_t e = dataEntries[r];
        put32(rsrc, e, kRsrcRva + static_cast<uint32_t>(data[r]));
        put32(rsrc, e + 4, static_cast<uint32_t>(r->data.size()));
        std::copy(r->data.begin(), r->data.end(), rsrc.begin() + static_cast<ptrdiff_t>(data[r]));
        languageAt += 8;
      }
      nameAt += 8;
    }
    typeAt += 8;
  }

  const bool plus = kind == PeKind::kPe32Plus;
  const uint32_t rawSize = static_cast<uint32_t>(alignUp(rsrc.size(), kFileAlignment));
  const uint32_t imageSize =
      kRsrcRva + static_cast<uint32_t>(alignUp(rsrc.size(), kSectionAlignment));
  const uint16_t optionalSize = plus ? 240 : 224;

  Bytes& b = img.bytes;
  b.assign(kHeadersSize + rawSize, 0);
  put16(b, 0, 0x5A4D);   // "MZ"
  put16(b, 2, 0x90);     // bytes on the last page
  put16(b, 4, 3);        // pages
  put16(b, 8, 4);        // header paragraphs
  put16(b, 0x18, 0x40);  // relocation table offset
  put32(b, img.lfanewField, kLfanew);

  img.peHeader = kLfanew;
  put32(b, img.peHeader, 0x00004550);  // "PE\0\0"
  img.fileHeader = img.peHeader + 4;
  put16(b, img.fileHeader, plus ? 0x8664 : 0x014C);  // machine: x64 or i386
  put16(b, img.fileHeader + 2, 1);                   // one section
  put16(b, img.fileHeader + 16, optionalSize);
  // Executable, relocations stripped; 32-bit machine or large-address aware.
  put16(b, img.fileHeader + 18, plus ? 0x0023 : 0x0103);

  const size_t o = img.optionalHeader = img.fileHeader + 20;
  put16(b, o, plus ? 0x20B : 0x10B);
  b[o + 2] = 14;               // linker version
  put32(b, o + 8, rawSize);    // initialised data
  put32(b, o + 20, kRsrcRva);  // base of code
  if (plus) {
    put32(b, o + 24, 0x40000000);  // image base 0x140000000
    put32(b, o + 28, 0x1);
  } else {
    put32(b, o + 24, kRsrcRva);    // base of data
    put32(b, o + 28, 0x00400000);  // image base
  }
  put32(b, o + 32, kSectionAlignment);
  put32(b, o + 36, kFileAlignment);
  put16(b, o + 40, 6);  // operating system version
  put16(b, o + 48, 6);  // subsystem version
  put32(b, o + 56, imageSize);
  put32(b, o + 60, kHeadersSize);
  put16(b, o + 68, 2);  // Windows GUI
  size_t dirs = 0;
  if (plus) {
    put32(b, o + 72, 0x100000);  // stack reserve
    put32(b, o + 80, 0x1000);    // stack commit
    put32(b, o + 88, 0x100000);  // heap reserve
    put32(b, o + 96, 0x1000);    // heap commit
    put32(b, o + 108, 16);
    dirs = o + 112;
  } else {
    put32(b, o + 72, 0x100000);
    put32(b, o + 76, 0x1000);
    put32(b, o + 80, 0x100000);
    put32(b, o + 84, 0x1000);
    put32(b, o + 92, 16);
    dirs = o + 96;
  }
  img.resourceDirectoryField = dirs + 2 * 8;
  put32(b, img.resourceDirectoryField, kRsrcRva);
  put32(b, img.resourceDirectoryField + 4, static_cast<uint32_t>(rsrc.size()));

  const size_t s = img.sectionHeader = o + optionalSize;
  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  std::copy(name, name + 8, b.begin() + static_cast<ptrdiff_t>(s));
  put32(b, s + 8, static_cast<uint32_t>(rsrc.size()));  // virtual size
  put32(b, s + 12, kRsrcRva);
  put32(b, s + 16, rawSize);
  put32(b, s + 20, kHeadersSize);
  put32(b, s + 36, 0x40000040);  // initialised data, readable

  img.resourceRoot = kHeadersSize;
  img.resourceRva = kRsrcRva;
  std::copy(rsrc.begin(), rsrc.end(), b.begin() + kHeadersSize);
  if (img.typeEntry != 0) {
    for (size_t* at :
         {&img.typeEntry, &img.nameEntry, &img.languageEntry, &img.dataEntry, &img.versionData}) {
      *at += kHeadersSize;
    }
  }
  return img;
}

PeImage buildPe(const VersionDesc& desc, PeKind kind) {
  Resource r;
  r.data = buildVersionInfo(desc);
  return buildPe({r}, kind);
}

bool writeBytes(const Text& path, const Bytes& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace sw::test
