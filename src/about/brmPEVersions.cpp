#include "brmPEVersions.h"

#include <elf.h>

#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

// The largest version block read from a file.
constexpr uint64_t kMaxVersionBlock = 64 * 1024;

std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    uint32_t cp = c;
    size_t n = 1;
    if (c >= 0xF0 && i + 3 < utf8.size()) {
      cp = ((c & 0x07u) << 18) | ((utf8[i + 1] & 0x3Fu) << 12) | ((utf8[i + 2] & 0x3Fu) << 6) |
           (utf8[i + 3] & 0x3Fu);
      n = 4;
    } else if (c >= 0xE0 && i + 2 < utf8.size()) {
      cp = ((c & 0x0Fu) << 12) | ((utf8[i + 1] & 0x3Fu) << 6) | (utf8[i + 2] & 0x3Fu);
      n = 3;
    } else if (c >= 0xC0 && i + 1 < utf8.size()) {
      cp = ((c & 0x1Fu) << 6) | (utf8[i + 1] & 0x3Fu);
      n = 2;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += n;
  }
  return out;
}

std::string Utf8(const char16_t* text, size_t length) {
  std::string out;
  for (size_t i = 0; i < length && text[i]; ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < length) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

// Writes one node of the block: header, key, value and children, each part
// aligned to 32 bits.
class TBlockWriter {
 public:
  std::vector<uint8_t> bytes;
  size_t Begin(const std::string& key, uint16_t valueLength, uint16_t type) {
    Align();
    const size_t start = bytes.size();
    Word(0);
    Word(valueLength);
    Word(type);
    for (const char16_t c : Utf16(key)) Word(c);
    Word(0);
    Align();
    return start;
  }
  void End(size_t start) {
    const auto length = static_cast<uint16_t>(bytes.size() - start);
    std::memcpy(bytes.data() + start, &length, 2);
  }
  void Word(uint16_t w) { Raw(&w, 2); }
  void Dword(uint32_t d) { Raw(&d, 4); }
  void Raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
  }
  void Align() {
    while (bytes.size() % 4) bytes.push_back(0);
  }
};

// One node read back: where its value and children lie.
struct TNode {
  size_t start = 0, length = 0, valueLength = 0, type = 0;
  std::u16string key;
  size_t valueAt = 0, childrenAt = 0;
};

bool ReadNode(const uint8_t* block, size_t blockSize, size_t at, TNode& node) {
  if (at + 6 > blockSize) return false;
  uint16_t w[3];
  std::memcpy(w, block + at, 6);
  node.start = at;
  node.length = w[0];
  node.valueLength = w[1];
  node.type = w[2];
  if (node.length < 6 || at + node.length > blockSize) return false;
  size_t p = at + 6;
  node.key.clear();
  for (;;) {
    if (p + 2 > at + node.length) return false;
    char16_t c;
    std::memcpy(&c, block + p, 2);
    p += 2;
    if (c == 0) break;
    node.key += c;
  }
  p = (p + 3) & ~size_t{3};
  node.valueAt = p;
  // Strings (type 1) count their value in 16-bit units.
  const size_t valueBytes = node.type == 1 ? node.valueLength * 2 : node.valueLength;
  node.childrenAt = (p + valueBytes + 3) & ~size_t{3};
  return node.valueAt + valueBytes <= at + node.length;
}

std::u16string Key(const std::string& ascii) { return Utf16(ascii); }

// The value stored in a string node, as UTF-8, kept for VerQueryValueA.
thread_local std::string gQueriedText;

bool SameKey(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char16_t c) { return c >= 'a' && c <= 'z' ? char16_t(c - 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// The version section of an ELF file: its offset and size, or false.
bool FindVersionSection(std::ifstream& in, uint64_t& offset, uint64_t& size) {
  Elf64_Ehdr eh{};
  if (!in.read(reinterpret_cast<char*>(&eh), sizeof eh)) return false;
  if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64 ||
      eh.e_shentsize != sizeof(Elf64_Shdr) || eh.e_shnum == 0 || eh.e_shnum > 4096 ||
      eh.e_shstrndx >= eh.e_shnum)
    return false;
  std::vector<Elf64_Shdr> sections(eh.e_shnum);
  in.seekg(static_cast<std::streamoff>(eh.e_shoff));
  if (!in.read(reinterpret_cast<char*>(sections.data()),
               static_cast<std::streamsize>(sections.size() * sizeof(Elf64_Shdr))))
    return false;
  const Elf64_Shdr& names = sections[eh.e_shstrndx];
  if (names.sh_size > (1u << 20)) return false;
  std::string table(names.sh_size, '\0');
  in.seekg(static_cast<std::streamoff>(names.sh_offset));
  if (!in.read(table.data(), static_cast<std::streamsize>(table.size()))) return false;
  for (const Elf64_Shdr& s : sections) {
    if (s.sh_name >= table.size() || s.sh_type == SHT_NOBITS) continue;
    if (std::strcmp(table.c_str() + s.sh_name, kVersionSectionName) != 0) continue;
    if (s.sh_size == 0 || s.sh_size > kMaxVersionBlock) return false;
    offset = s.sh_offset;
    size = s.sh_size;
    return true;
  }
  return false;
}

}  // namespace

std::vector<uint8_t> MakeVersionInfoBlock(const TVersionInfoSource& source) {
  TBlockWriter w;
  const size_t root = w.Begin("VS_VERSION_INFO", 52, 0);
  const auto ms = [](const uint16_t v[4]) { return (uint32_t{v[0]} << 16) | v[1]; };
  const auto ls = [](const uint16_t v[4]) { return (uint32_t{v[2]} << 16) | v[3]; };
  for (const uint32_t d :
       {0xFEEF04BDu, 0x00010000u, ms(source.fileVersion), ls(source.fileVersion),
        ms(source.productVersion), ls(source.productVersion), 0x3Fu, 0u, 0x40004u, 1u, 0u, 0u, 0u})
    w.Dword(d);
  const size_t strings = w.Begin("StringFileInfo", 0, 1);
  const size_t table =
      w.Begin(WordToHex(source.translation.wLanguage) + WordToHex(source.translation.wCodepage),
              0, 1);
  for (const auto& [name, value] : source.strings) {
    const std::u16string v = Utf16(value);
    const size_t s = w.Begin(name, static_cast<uint16_t>(v.size() + 1), 1);
    for (const char16_t c : v) w.Word(c);
    w.Word(0);
    w.End(s);
  }
  w.End(table);
  w.End(strings);
  const size_t var = w.Begin("VarFileInfo", 0, 1);
  const size_t translation = w.Begin("Translation", 4, 0);
  w.Word(source.translation.wLanguage);
  w.Word(source.translation.wCodepage);
  w.End(translation);
  w.End(var);
  w.End(root);
  return w.bytes;
}

uint32_t GetFileVersionInfoSizeA(const std::string& lptstrFilename, uint32_t* lpdwHandle) {
  if (lpdwHandle) *lpdwHandle = 0;
  std::ifstream in(lptstrFilename, std::ios::binary);
  uint64_t offset = 0, size = 0;
  if (!in || !FindVersionSection(in, offset, size)) return 0;
  return static_cast<uint32_t>(size);
}

bool GetFileVersionInfoA(const std::string& lptstrFilename, uint32_t, uint32_t dwLen,
                         void* lpData) {
  std::ifstream in(lptstrFilename, std::ios::binary);
  uint64_t offset = 0, size = 0;
  if (!in || !lpData || !FindVersionSection(in, offset, size)) return false;
  in.seekg(static_cast<std::streamoff>(offset));
  return static_cast<bool>(
      in.read(static_cast<char*>(lpData), static_cast<std::streamsize>(std::min<uint64_t>(size, dwLen))));
}

bool VerQueryValueA(const void* pBlock, const std::string& lpSubBlock, const void** lplpBuffer,
                    uint32_t* puLen) {
  if (!pBlock || !lplpBuffer || !puLen) return false;
  const auto* block = static_cast<const uint8_t*>(pBlock);
  uint16_t total;
  std::memcpy(&total, block, 2);
  std::vector<std::u16string> path;
  size_t start = 0;
  while (start <= lpSubBlock.size()) {
    size_t end = lpSubBlock.find('\\', start);
    if (end == std::string::npos) end = lpSubBlock.size();
    if (end > start) path.push_back(Key(lpSubBlock.substr(start, end - start)));
    start = end + 1;
  }
  TNode node;
  if (!ReadNode(block, total, 0, node)) return false;
  for (const std::u16string& part : path) {
    bool found = false;
    for (size_t at = node.childrenAt; at < node.start + node.length;) {
      TNode child;
      if (!ReadNode(block, total, at, child)) return false;
      if (SameKey(child.key, part)) {
        node = child;
        found = true;
        break;
      }
      at = (child.start + child.length + 3) & ~size_t{3};
    }
    if (!found) return false;
  }
  if (node.type == 1 && !path.empty()) {
    gQueriedText = Utf8(reinterpret_cast<const char16_t*>(block + node.valueAt), node.valueLength);
    *lplpBuffer = gQueriedText.c_str();
    *puLen = static_cast<uint32_t>(gQueriedText.size() + 1);
    return true;
  }
  *lplpBuffer = block + node.valueAt;
  *puLen = static_cast<uint32_t>(node.valueLength);
  return true;
}

std::string WordToHex(uint16_t value) {
  char text[5];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

int32_t GetVersionResCount(const std::string& FileName) {
  uint32_t handle = 0;
  const uint32_t size = GetFileVersionInfoSizeA(FileName, &handle);
  if (size == 0) return 0;
  std::vector<uint8_t> block(size);
  if (!GetFileVersionInfoA(FileName, handle, size, block.data())) return 0;
  const void* value = nullptr;
  uint32_t length = 0;
  if (!VerQueryValueA(block.data(), "\\\\VarFileInfo\\\\Translation", &value, &length)) return 0;
  return static_cast<int32_t>(length / 4);
}

bool GetVersionRes(const std::string& FileName, int32_t Index, TStringList& List) {
  uint32_t handle = 0;
  const uint32_t size = GetFileVersionInfoSizeA(FileName, &handle);
  if (size == 0) return false;
  std::vector<uint8_t> block(size);
  if (!GetFileVersionInfoA(FileName, handle, size, block.data())) return false;
  const void* value = nullptr;
  uint32_t length = 0;
  if (!VerQueryValueA(block.data(), "\\\\VarFileInfo\\\\Translation", &value, &length) ||
      Index < 0 || static_cast<uint32_t>(Index + 1) * 4 > length)
    return false;
  TLangAndCodepage lang;
  std::memcpy(&lang, static_cast<const uint8_t*>(value) + 4 * Index, 4);
  const std::string prefix =
      "\\\\StringFileInfo\\\\" + WordToHex(lang.wLanguage) + WordToHex(lang.wCodepage) + "\\\\";
  const auto text = [&](const char* name) {
    const void* p = nullptr;
    uint32_t n = 0;
    return VerQueryValueA(block.data(), prefix + name, &p, &n) ? std::string(static_cast<const char*>(p))
                                                               : std::string();
  };
  for (const char* name : {"FileVersion", "CompanyName", "InternalName", "Comments",
                           "LegalCopyright", "LegalTrademarks", "OriginalFilename", "ProductName",
                           "ProductVersion", "FileDescription", "PrivateBuild", "SpecialBuild"})
    List.Add(std::string(name) + "=" + text(name));
  if (const std::string translators = text("Translators"); !translators.empty())
    List.Add("Translators=" + translators);
  return true;
}
