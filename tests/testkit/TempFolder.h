// A temporary folder removed with everything in it when the test ends.
#pragma once

#include <string>

class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  // The folder, with a trailing "/".
  const std::string& Path() const { return path_; }
  // Writes a file below the folder (creating its folders) and returns its path.
  std::string Write(const std::string& relative, const std::string& bytes) const;

 private:
  std::string path_;
};
