#include "utMemoryStream.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

TMemoryStream::~TMemoryStream() { std::free(data_); }

TMemoryStream::TMemoryStream(TMemoryStream&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

TMemoryStream& TMemoryStream::operator=(TMemoryStream&& other) noexcept {
  if (this != &other) {
    std::free(data_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

void TMemoryStream::Reserve(size_t n) {
  if (capacity_ - size_ >= n) return;
  if (n > SIZE_MAX - size_) throw std::bad_alloc();
  size_t wanted = size_ + n;
  // Growing by half again keeps appends of small pieces linear; realloc of
  // a large block moves pages, not bytes.
  if (capacity_ + capacity_ / 2 > wanted) wanted = capacity_ + capacity_ / 2;
  void* grown = std::realloc(data_, wanted);
  if (!grown) throw std::bad_alloc();
  data_ = static_cast<char*>(grown);
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
