#include "TempFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

TTempFolder::TTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvina-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  path_ = pattern + "/";
}

TTempFolder::~TTempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TTempFolder::Write(const std::string& relative, const std::string& bytes) const {
  const std::filesystem::path file = path_ + relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file.string();
}
