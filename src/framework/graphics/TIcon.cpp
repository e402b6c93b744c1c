#include "framework/graphics/TIcon.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/Exceptions.h"

namespace tv {

namespace {

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool AnyAlpha(const TBitmap& b) {
  if (b.PixelFormat() != pf32bit) return false;
  for (int y = 0; y < b.Height(); ++y) {
    const std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < b.Width(); ++x)
      if (row[4 * x + 3] != 0) return true;
  }
  return false;
}

[[noreturn]] void Invalid() { throw EInvalidGraphic("Icon image is not valid"); }

// One image of an ICO file: a PNG, or a DIB whose height covers the colour rows and the AND mask.
TBitmap DecodeIconImage(const std::uint8_t* data, std::size_t size) {
  static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size >= 8 && std::memcmp(data, kPng, 8) == 0) {
    QImage img = QImage::fromData(data, static_cast<int>(std::min<std::size_t>(size, 1u << 30)), "PNG");
    if (img.isNull()) Invalid();
    img = img.convertToFormat(QImage::Format_ARGB32);
    TBitmap out(img.width(), img.height(), pf32bit);
    for (int y = 0; y < img.height(); ++y)
      std::memcpy(out.ScanLine(y), img.constScanLine(y), static_cast<std::size_t>(img.width()) * 4);
    out.SetAlphaFormat(afDefined);
    return out;
  }
  if (size < 40 || U32(data) != 40) Invalid();
  const auto w = static_cast<std::int32_t>(U32(data + 4));
  const auto h2 = static_cast<std::int32_t>(U32(data + 8));
  const int bpp = U16(data + 14);
  if (w <= 0 || w > 1024 || h2 <= 0 || h2 > 2048) Invalid();
  const int h = h2 / 2;
  if (h <= 0) Invalid();
  // Rebuild a BMP file of the colour part and let the BMP reader decode it.
  std::vector<std::uint8_t> file(14, 0);
  file[0] = 'B';
  file[1] = 'M';
  file.insert(file.end(), data, data + size);
  std::uint8_t* info = file.data() + 14;
  const auto hh = static_cast<std::uint32_t>(h);
  for (int i = 0; i < 4; ++i) info[8 + i] = static_cast<std::uint8_t>(hh >> (8 * i));
  auto colour = TBitmap::ReadBmp(file.data(), file.size());
  if (!colour) Invalid();
  TBitmap out(*colour);
  out.SetPixelFormat(pf32bit);
  const bool alpha = bpp == 32 && AnyAlpha(*colour);
  if (!alpha) {
    std::uint32_t colours = U32(data + 32);
    if (bpp <= 8 && colours == 0) colours = 1u << bpp;
    if (bpp > 8) colours = 0;
    const std::size_t xorStride = (static_cast<std::size_t>(w) * bpp + 31) / 32 * 4;
    const std::size_t andStride = (static_cast<std::size_t>(w) + 31) / 32 * 4;
    const std::size_t andStart = 40 + static_cast<std::size_t>(colours) * 4 + xorStride * h;
    const bool haveMask = andStart + andStride * h <= size;
    for (int y = 0; y < h; ++y) {
      std::uint8_t* row = out.ScanLine(y);
      const std::uint8_t* maskRow = haveMask ? data + andStart + andStride * (h - 1 - y) : nullptr;
      for (int x = 0; x < w; ++x) {
        const bool clear = maskRow && ((maskRow[x / 8] >> (7 - x % 8)) & 1);
        row[4 * x + 3] = clear ? 0 : 255;
      }
    }
  }
  out.SetAlphaFormat(afDefined);
  return out;
}

}  // namespace

void TIcon::AssignBitmap(const TBitmap& image, const TBitmap* mask) {
  TBitmap out(image);
  const bool keepAlpha = !mask && !image.Transparent() && image.PixelFormat() == pf32bit &&
                         image.AlphaFormat() != afIgnored;
  const bool premultiplied = keepAlpha && image.AlphaFormat() == afPremultiplied;
  out.SetPixelFormat(pf32bit);
  const TColor key = image.Transparent() ? ColorToRGB(image.TransparentColor()) : clNone;
  for (int y = 0; y < out.Height(); ++y) {
    std::uint8_t* p = out.ScanLine(y);
    for (int x = 0; x < out.Width(); ++x, p += 4) {
      if (keepAlpha) {
        if (premultiplied && p[3] != 0 && p[3] != 255)
          for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(std::min(255, p[c] * 255 / p[3]));
        continue;
      }
      bool clear = false;
      if (mask) {
        const TColor m = mask->PixelColor(x, y);
        clear = m != clInvalid && m != clBlack;
      } else if (image.Transparent()) {
        clear = RGB(p[2], p[1], p[0]) == key;
      }
      p[3] = clear ? 0 : 255;
    }
  }
  out.SetTransparent(false);
  out.SetAlphaFormat(afDefined);
  image_ = std::move(out);
}

void TIcon::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  for (;;) {
    const std::int64_t n = stream.Read(chunk, sizeof chunk);
    if (n <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    auto bmp = TBitmap::ReadBmp(bytes.data(), bytes.size());
    if (!bmp) throw EInvalidGraphic(BmpErrorText(bmp.error()));
    if (AnyAlpha(*bmp)) bmp->SetAlphaFormat(afDefined);
    AssignBitmap(*bmp);
    return;
  }
  if (bytes.size() < 6 || U16(bytes.data()) != 0 || (U16(bytes.data() + 2) != 1 && U16(bytes.data() + 2) != 2))
    Invalid();
  const int count = U16(bytes.data() + 4);
  if (count == 0 || bytes.size() < 6 + 16 * static_cast<std::size_t>(count)) Invalid();
  int best = -1;
  long long bestScore = -1;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* e = bytes.data() + 6 + 16 * i;
    const int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
    const long long score = static_cast<long long>(w) * h * 64 + U16(e + 6);
    if (score > bestScore) {
      bestScore = score;
      best = i;
    }
  }
  const std::uint8_t* e = bytes.data() + 6 + 16 * best;
  const std::uint64_t length = U32(e + 8), offset = U32(e + 12);
  if (offset + length > bytes.size() || length == 0) Invalid();
  image_ = DecodeIconImage(bytes.data() + offset, static_cast<std::size_t>(length));
}

void TIcon::LoadFromFile(const std::string& path) {
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TIcon::Draw(TCanvas& canvas, int x, int y) const { canvas.Draw(x, y, image_); }

}  // namespace tv
