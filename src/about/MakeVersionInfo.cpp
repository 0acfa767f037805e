// Build tool: writes the C++ source that puts the program's version block
// into its ELF section.
//   mkversioninfo FILEVERSION PRODUCTVERSION OUTPUT.cpp
#include <cstdio>
#include <fstream>
#include <sstream>

#include "brmPEVersions.h"

namespace {

void Parse(const char* text, uint16_t parts[4]) {
  std::istringstream in(text);
  std::string part;
  for (int i = 0; i < 4 && std::getline(in, part, '.'); ++i)
    parts[i] = static_cast<uint16_t>(std::stoi(part));
}

std::string Dotted(const uint16_t v[4]) {
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
         std::to_string(v[3]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  TVersionInfoSource source;
  Parse(argv[1], source.fileVersion);
  Parse(argv[2], source.productVersion);
  source.strings = {{"CompanyName", "Brenmoor"},
                    {"FileDescription", ""},
                    {"FileVersion", Dotted(source.fileVersion)},
                    {"InternalName", "Corvina"},
                    {"LegalCopyright", "Copyright \xC2\xA9 2026 Brenmoor. All rights reserved."},
                    {"LegalTrademarks", ""},
                    {"OriginalFilename", "corvina"},
                    {"ProductName", "Corvina"},
                    {"ProductVersion", Dotted(source.productVersion)},
                    {"Comments", ""}};
  const std::vector<uint8_t> block = MakeVersionInfoBlock(source);
  std::ofstream out(argv[3]);
  out << "// Made by the build (mkversioninfo): the program's version block.\n"
         "extern \"C\" __attribute__((section(\"" << kVersionSectionName
      << "\"), used, aligned(4))) const unsigned char kCorvinaVersionInfo[] = {";
  for (size_t i = 0; i < block.size(); ++i) out << (i % 16 ? " " : "\n    ") << int(block[i]) << ",";
  out << "\n};\n";
  return out ? 0 : 1;
}
