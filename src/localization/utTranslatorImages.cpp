#include "utTranslatorImages.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>
#include <QPolygon>

#include "utStrings.h"

int TFlagImageList::Add(const QImage& bitmap) {
  QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
  if (!image.isNull()) {
    const QRgb transparent = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  images_.push_back(std::move(image));
  return Count() - 1;
}

const QImage* TFlagImageList::Image(int index) const {
  return index >= 0 && index < Count() ? &images_[static_cast<size_t>(index)] : nullptr;
}

std::string ByteToHex(unsigned char b) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  return {kHex[b >> 4], kHex[b & 15]};
}

unsigned char HexToNibble(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned char>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<unsigned char>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<unsigned char>(c - 'a' + 10);
  return 0;
}

unsigned char HexToByte(std::string_view s) {
  if (s.size() != 2) return 0;
  return static_cast<unsigned char>(HexToNibble(s[0]) * 16 + HexToNibble(s[1]));
}

std::string HexToBytes(std::string_view hex) {
  std::string bytes;
  bytes.reserve(hex.size() / 2 + 1);
  for (size_t i = 0; i < hex.size(); i += 2)
    bytes += static_cast<char>(HexToByte(hex.substr(i, 2)));
  return bytes;
}

void LoadBitmapFromIni(const TIniDocument& ini, std::string_view section, std::string_view name,
                       QImage& bmp) {
  if (!bmp.isNull()) bmp.fill(Qt::white);
  const std::string value = ini.ReadString(section, name, "");
  if (value.empty()) {
    const int size = name == "Flag16" ? 16 : 32;
    bmp = QImage(size, size, QImage::Format_RGB32);
    bmp.fill(Qt::white);
    return;
  }
  if (value.size() > 2 * kMaxFlagFileSize) return;
  const std::string decoded = HexToBytes(value);
  // A bitmap file says its own length; one cut short is no bitmap.
  if (decoded.size() < 14 || decoded.compare(0, 2, "BM") != 0) return;
  const auto* p = reinterpret_cast<const unsigned char*>(decoded.data());
  const uint32_t declared = p[2] | p[3] << 8 | p[4] << 16 | static_cast<uint32_t>(p[5]) << 24;
  if (declared > decoded.size()) return;
  QByteArray bytes(decoded.data(), static_cast<qsizetype>(decoded.size()));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "BMP");
  const QSize size = reader.size();
  if (!size.isValid() || size.width() > kMaxFlagDimension || size.height() > kMaxFlagDimension)
    return;
  QImage read;
  if (reader.read(&read) && !read.isNull()) bmp = read;
}

void SaveBitmapToIni(TIniDocument& ini, std::string_view section, std::string_view name,
                     const QImage& bmp) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  bmp.save(&buffer, "BMP");
  std::string hex;
  hex.reserve(static_cast<size_t>(bytes.size()) * 2);
  for (const char b : bytes) hex += ByteToHex(static_cast<unsigned char>(b));
  ini.WriteString(section, name, hex);
}

namespace {

// The colour around a drawn flag: its top-left pixel, so the image lists
// make it transparent and only the flag shows.
const QColor kMargin(0xFF, 0x00, 0xFF);

// A flag of three stripes, across (horizontal) or down.
QImage Tricolour(int size, QColor a, QColor b, QColor c, bool vertical) {
  QImage flag(size, size, QImage::Format_RGB32);
  flag.fill(kMargin);
  QPainter p(&flag);
  const int band = size / 3;
  const QColor colours[] = {a, b, c};
  for (int i = 0; i < 3; ++i) {
    const int start = i * band, extent = i == 2 ? size - start : band;
    if (vertical)
      p.fillRect(start, size / 8, extent, size - size / 4, colours[i]);
    else
      p.fillRect(0, size / 8 + i * (size - size / 4) / 3, size,
                 (size - size / 4) / 3 + (i == 2 ? (size - size / 4) % 3 : 0), colours[i]);
  }
  return flag;
}

// The Union Jack: blue, white and red diagonals, the white and red cross.
QImage UnionJack(int size) {
  QImage flag(size, size, QImage::Format_RGB32);
  flag.fill(kMargin);
  QPainter p(&flag);
  const int top = size / 8, height = size - 2 * top;
  const QRect field(0, top, size, height);
  p.fillRect(field, QColor(0x01, 0x21, 0x69));
  p.setClipRect(field);
  const double unit = size / 16.0;
  QPen white(Qt::white, 3 * unit);
  QPen red(QColor(0xC8, 0x10, 0x2E), 1.2 * unit);
  for (const QPen& pen : {white, red}) {
    p.setPen(pen);
    p.drawLine(field.topLeft(), field.bottomRight() + QPoint(1, 1));
    p.drawLine(field.bottomLeft() + QPoint(0, 1), field.topRight() + QPoint(1, 0));
  }
  const int whiteBar = std::max(3, size / 4), redBar = std::max(1, size / 8);
  p.fillRect((size - whiteBar) / 2, top, whiteBar, height, Qt::white);
  p.fillRect(0, top + (height - whiteBar) / 2, size, whiteBar, Qt::white);
  p.fillRect((size - redBar) / 2, top, redBar, height, QColor(0xC8, 0x10, 0x2E));
  p.fillRect(0, top + (height - redBar) / 2, size, redBar, QColor(0xC8, 0x10, 0x2E));
  return flag;
}

}  // namespace

QImage BuiltInFlag(std::string_view name) {
  const std::string upper = UpperCaseAZ(name);
  const int size = EndsWith(upper, "16") ? 16 : EndsWith(upper, "32") ? 32 : 0;
  if (size == 0) return {};
  const std::string_view language = std::string_view(upper).substr(0, upper.size() - 2);
  if (language == "ENGLISH") return UnionJack(size);
  if (language == "GERMAN")
    return Tricolour(size, Qt::black, QColor(0xDD, 0x00, 0x00), QColor(0xFF, 0xCE, 0x00), false);
  if (language == "FRENCH")
    return Tricolour(size, QColor(0x00, 0x23, 0x95), Qt::white, QColor(0xED, 0x29, 0x39), true);
  return {};
}
