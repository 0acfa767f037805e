#include "utFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

namespace {

std::string ErrnoText(const std::string& what, const std::string& path, int err) {
  return what + " \"" + path + "\": " + std::strerror(err);
}

void WriteAll(int fd, const char* data, size_t size, const std::string& path) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EFileError(ErrnoText("Cannot write", path, errno));
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
}

// The temporary name of a replacement: the file's name + ".~" + the writing
// process's id + "-" + a counter.
std::string TemporaryName(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
}

// The id of the process that wrote a temporary file of that naming, or 0.
pid_t WriterOfTemporary(const std::string& name) {
  const size_t mark = name.rfind(".~");
  if (mark == std::string::npos) return 0;
  const std::string rest = name.substr(mark + 2);
  const size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == rest.size()) return 0;
  if (rest.find_first_not_of("0123456789-") != std::string::npos ||
      rest.find('-', dash + 1) != std::string::npos || dash > 9)
    return 0;
  return static_cast<pid_t>(std::stol(rest.substr(0, dash)));
}

// Removes what replacements left behind in a folder when their process died
// before the rename: temporary files whose writer no longer runs. Each
// folder is looked at once per run, at its first replacement.
void RemoveStaleTemporaries(const std::string& folder) {
  static std::mutex mutex;
  static std::set<std::string> cleaned;
  {
    std::lock_guard lock(mutex);
    if (!cleaned.insert(folder).second) return;
  }
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    const pid_t writer = WriterOfTemporary(name);
    if (writer <= 0 || writer == ::getpid()) continue;
    if (::kill(writer, 0) == 0 || errno != ESRCH) continue;
    ::unlinkat(::dirfd(dir), name.c_str(), 0);
  }
  ::closedir(dir);
}

// Makes a rename in the folder durable.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ReadFileBytes(const std::string& path, size_t maxSize) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFileError(ErrnoText("Cannot open", path, errno));
  std::string data;
  // One allocation for a file whose size is known; the bound still holds
  // when it grows while it is read.
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<size_t>(st.st_size) <= maxSize)
    data.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      throw EFileError(ErrnoText("Cannot read", path, err));
    }
    if (n == 0) break;
    if (data.size() + static_cast<size_t>(n) > maxSize) {
      ::close(fd);
      throw EFileError("File \"" + path + "\" is larger than " + std::to_string(maxSize) +
                       " bytes");
    }
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

void WriteFileAtomic(const std::string& path, const std::string& bytes) {
  const std::string folder = ExtractFilePath(path);
  RemoveStaleTemporaries(folder);
  const std::string temp = TemporaryName(path);
  // Mode 0666 less the umask, as any ordinary new file gets.
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) throw EFileError(ErrnoText("Cannot create", temp, errno));
  try {
    WriteAll(fd, bytes.data(), bytes.size(), temp);
    // The bytes reach the disk before the name does: after a power loss the
    // file holds the old bytes or the new ones, never an empty file.
    if (::fsync(fd) != 0) throw EFileError(ErrnoText("Cannot write", temp, errno));
  } catch (...) {
    ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    throw EFileError(ErrnoText("Cannot write", temp, err));
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    throw EFileError(ErrnoText("Cannot replace", path, err));
  }
  SyncFolder(folder);
}

bool ForceDirectories(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return DirectoryExists(path);
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && path.back() == '/') return path;
  return path + "/";
}

std::string ExtractFilePath(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
