#include "utMemoryStream.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

// From this size on the buffer is mapped memory in whole huge pages: the
// kernel then fills a large body with a few hundred page faults instead of
// tens of thousands, and growing it moves pages, not bytes.
constexpr size_t kMappedSize = 2u << 20;

size_t RoundUpToMapped(size_t n) { return (n + kMappedSize - 1) / kMappedSize * kMappedSize; }

char* MapPages(size_t size) {
  void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  ::madvise(p, size, MADV_HUGEPAGE);
  return static_cast<char*>(p);
}

}  // namespace

TMemoryStream::~TMemoryStream() { Release(); }

void TMemoryStream::Release() {
  if (capacity_ >= kMappedSize)
    ::munmap(data_, capacity_);
  else
    std::free(data_);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

TMemoryStream::TMemoryStream(TMemoryStream&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

TMemoryStream& TMemoryStream::operator=(TMemoryStream&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

void TMemoryStream::Reserve(size_t n) {
  if (capacity_ - size_ >= n) return;
  if (n > SIZE_MAX - size_ - kMappedSize) throw std::bad_alloc();
  size_t wanted = size_ + n;
  // Growing by half again keeps appends of small pieces linear.
  if (capacity_ + capacity_ / 2 > wanted) wanted = capacity_ + capacity_ / 2;
  if (wanted < kMappedSize) {
    void* grown = std::realloc(data_, wanted);
    if (!grown) throw std::bad_alloc();
    data_ = static_cast<char*>(grown);
  } else if (capacity_ < kMappedSize) {
    wanted = RoundUpToMapped(wanted);
    char* mapped = MapPages(wanted);
    if (size_) std::memcpy(mapped, data_, size_);
    std::free(data_);
    data_ = mapped;
  } else {
    wanted = RoundUpToMapped(wanted);
    void* grown = ::mremap(data_, capacity_, wanted, MREMAP_MAYMOVE);
    if (grown == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<char*>(grown);
    ::madvise(data_, wanted, MADV_HUGEPAGE);
  }
  capacity_ = wanted;
}

char* TMemoryStream::FreeSpace(size_t n) {
  Reserve(n);
  return data_ + size_;
}

void TMemoryStream::Append(std::string_view bytes) {
  if (bytes.empty()) return;
  std::memcpy(FreeSpace(bytes.size()), bytes.data(), bytes.size());
  size_ += bytes.size();
}

void TMemoryStream::Truncate(size_t n) {
  if (n < size_) size_ = n;
}
