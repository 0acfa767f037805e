// The flags of the languages: bitmaps stored in a language file as the
// hexadecimal text of a whole BMP file, the image lists of all found
// languages' flags, and the flags the project draws itself.
#pragma once

#include <QImage>
#include <string>
#include <string_view>
#include <vector>

#include "utIniFile.h"

// Images of one size, each with the colour of its top-left pixel made
// transparent when it is added.
class TFlagImageList {
 public:
  explicit TFlagImageList(int size) : size_(size) {}
  int Size() const { return size_; }
  // The position of the new image.
  int Add(const QImage& bitmap);
  void Clear() { images_.clear(); }
  int Count() const { return static_cast<int>(images_.size()); }
  // nullptr for an index that is not in the list.
  const QImage* Image(int index) const;

 private:
  int size_;
  std::vector<QImage> images_;
};

// The largest flag value read: a bitmap file of at most this many bytes,
// and at most this many pixels wide or high.
inline constexpr size_t kMaxFlagFileSize = 64u << 10;
inline constexpr int kMaxFlagDimension = 256;

// "FF" for 255: two upper-case digits, the high half first.
std::string ByteToHex(unsigned char b);
// 0 unless s has exactly two characters; 16 times the first digit plus the
// second.
unsigned char HexToByte(std::string_view s);
// "0" to "9" and "A" to "F" in either case; any other character is 0.
unsigned char HexToNibble(char c);

// The bytes of a hexadecimal text, two digits each; a lone last digit
// gives the byte 0.
std::string HexToBytes(std::string_view hex);

// Reads section/name into bmp: the value's bytes two hexadecimal digits at
// a time (a lone last digit gives 0) as a bitmap file. bmp is cleared
// first (filled white at its size); an empty value makes it a blank flag,
// 16 x 16 for the name "Flag16", else 32 x 32; a value that is no bitmap,
// or one over the bounds above, leaves it cleared.
void LoadBitmapFromIni(const TIniDocument& ini, std::string_view section, std::string_view name,
                       QImage& bmp);
// Writes bmp as a bitmap file in hexadecimal text into section/name.
void SaveBitmapToIni(TIniDocument& ini, std::string_view section, std::string_view name,
                     const QImage& bmp);

// The flags the program carries: "ENGLISH16" and "ENGLISH32", and the
// flags of the translations the project ships ("GERMAN16", "FRENCH32",
// ...). A null image for any other name.
QImage BuiltInFlag(std::string_view name);
