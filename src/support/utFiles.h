// File access shared by every subsystem: bounded reads and atomic replacement.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Largest file the program reads into memory at once.
inline constexpr size_t kMaxReadFileSize = 64u << 20;

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// Reads the whole file; raises EFileError when it cannot be read or is larger
// than maxSize bytes.
std::string ReadFileBytes(const std::string& path, size_t maxSize = kMaxReadFileSize);

// Replaces (or creates) the file with the given bytes: they are written to a
// temporary file in the same folder ("<name>.~<pid>-<n>"), synced, and then
// renamed over the old one, and the folder is synced, so a crash or a power
// loss leaves either the old or the new file, never half of one. Temporary
// files that dead processes left in the folder are removed at its first
// replacement in a run.
void WriteFileAtomic(const std::string& path, const std::string& bytes);

// Creates the folder and every missing parent; false when that fails.
bool ForceDirectories(const std::string& path);

std::string IncludeTrailingPathDelimiter(const std::string& path);
// The folder part of a path, with its trailing "/" (empty when there is none).
std::string ExtractFilePath(const std::string& path);
// The name after the last "/".
std::string ExtractFileName(const std::string& path);
