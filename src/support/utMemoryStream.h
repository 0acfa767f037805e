// A growable byte buffer for large bodies: bytes are received straight into
// its free space, which is never filled with zeros first, so a body of
// hundreds of megabytes costs its own size and no copy. Large buffers are
// mapped memory in huge pages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class TMemoryStream {
 public:
  TMemoryStream() = default;
  ~TMemoryStream();
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;
  TMemoryStream(TMemoryStream&& other) noexcept;
  TMemoryStream& operator=(TMemoryStream&& other) noexcept;

  const char* Data() const { return data_; }
  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  std::string_view View() const { return {data_, size_}; }
  std::string ToString() const { return std::string(View()); }

  void Append(std::string_view bytes);
  // Room for at least n more bytes; raises std::bad_alloc when there is none.
  void Reserve(size_t n);
  // The free space after the bytes (at least n bytes, uninitialised): the
  // caller writes into it and then Commit()s what it wrote.
  char* FreeSpace(size_t n);
  void Commit(size_t n) { size_ += n; }
  // Cuts the buffer back to its first n bytes (n larger than Size() does
  // nothing).
  void Truncate(size_t n);
  void Clear() { size_ = 0; }

 private:
  void Release();

  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};
