// A small ELF file of the test's own that carries a version block in the
// section the program uses, for tests of the version readers.
#pragma once

#include <elf.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "brmPEVersions.h"

inline void WriteElfWithVersionBlock(const std::string& path, const std::vector<uint8_t>& block) {
  const std::string names = std::string("\0.shstrtab\0", 11) + kVersionSectionName + '\0';
  const size_t namesAt = sizeof(Elf64_Ehdr), blockAt = namesAt + names.size();
  const size_t sectionsAt = (blockAt + block.size() + 7) & ~size_t{7};
  Elf64_Ehdr eh{};
  std::memcpy(eh.e_ident, ELFMAG, SELFMAG);
  eh.e_ident[EI_CLASS] = ELFCLASS64;
  eh.e_ident[EI_DATA] = ELFDATA2LSB;
  eh.e_ident[EI_VERSION] = EV_CURRENT;
  eh.e_type = ET_EXEC;
  eh.e_machine = EM_X86_64;
  eh.e_version = EV_CURRENT;
  eh.e_ehsize = sizeof eh;
  eh.e_shoff = sectionsAt;
  eh.e_shentsize = sizeof(Elf64_Shdr);
  eh.e_shnum = 3;
  eh.e_shstrndx = 1;
  Elf64_Shdr sections[3]{};
  sections[1].sh_name = 1;
  sections[1].sh_type = SHT_STRTAB;
  sections[1].sh_offset = namesAt;
  sections[1].sh_size = names.size();
  sections[2].sh_name = 11;
  sections[2].sh_type = SHT_PROGBITS;
  sections[2].sh_offset = blockAt;
  sections[2].sh_size = block.size();
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&eh), sizeof eh);
  out.write(names.data(), static_cast<std::streamsize>(names.size()));
  out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
  out.write(std::string(sectionsAt - blockAt - block.size(), '\0').data(),
            static_cast<std::streamsize>(sectionsAt - blockAt - block.size()));
  out.write(reinterpret_cast<const char*>(sections), sizeof sections);
}
