#include "utFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

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
  static std::atomic<unsigned> counter{0};
  const std::string temp =
      path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
  // Mode 0666 less the umask, as any ordinary new file gets.
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) throw EFileError(ErrnoText("Cannot create", temp, errno));
  try {
    WriteAll(fd, bytes.data(), bytes.size(), temp);
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
