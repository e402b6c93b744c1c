// Windows BMP reading and writing.
#include <QImage>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/graphics/TBitmap.h"

namespace tv {

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kMaxInfoHeaderSize = 124;
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void Put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Everything the headers say about where the pixels are and how to read them.
struct Layout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bpp = 0;
  std::uint32_t compression = BI_RGB;
  std::array<std::uint32_t, 4> masks{};  // r, g, b, a
  bool useMasks = false;
  std::size_t paletteOffset = 0;
  int paletteEntries = 0;
  int paletteEntrySize = 4;
  std::uint64_t pixelOffset = 0;
  std::uint64_t stride = 0;
  std::uint64_t pixelBytes = 0;  // bytes the pixel rows need (the last row's padding may be missing)
  std::uint64_t declaredSize = 0;  // bfSize
  std::uint64_t End() const { return pixelOffset + pixelBytes; }
};

// Parses the file and info headers (and bit-field masks) from the first bytes of a file.
Result<Layout, BmpError> ParseHeaders(const std::uint8_t* data, std::size_t size) {
  if (size < kFileHeaderSize + 4) return Err{BmpError::Truncated};
  if (data[0] != 'B' || data[1] != 'M') return Err{BmpError::NotBitmap};
  Layout l;
  l.declaredSize = U32(data + 2);
  const std::uint32_t offBits = U32(data + 10);
  const std::uint8_t* info = data + kFileHeaderSize;
  const std::uint32_t infoSize = U32(info);
  if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
    return Err{BmpError::UnsupportedHeader};
  if (size < kFileHeaderSize + infoSize) return Err{BmpError::Truncated};
  std::size_t cursor = kFileHeaderSize + infoSize;
  std::uint32_t colorsUsed = 0;
  if (infoSize == 12) {
    l.width = U16(info + 4);
    l.height = U16(info + 6);
    l.bpp = U16(info + 10);
    l.paletteEntrySize = 3;
  } else {
    const auto w = static_cast<std::int32_t>(U32(info + 4));
    const auto h = static_cast<std::int32_t>(U32(info + 8));
    if (w < 0 || h == std::numeric_limits<std::int32_t>::min()) return Err{BmpError::BadDimensions};
    l.width = w;
    l.topDown = h < 0;
    l.height = h < 0 ? -h : h;
    l.bpp = U16(info + 14);
    l.compression = U32(info + 16);
    colorsUsed = U32(info + 32);
    if (l.compression == BI_BITFIELDS || l.compression == BI_ALPHABITFIELDS) {
      if (l.bpp != 16 && l.bpp != 32) return Err{BmpError::UnsupportedFormat};
      const int count = l.compression == BI_ALPHABITFIELDS ? 4 : 3;
      const std::uint8_t* m = info + 40;
      if (infoSize == 40) {  // the masks follow the header
        if (size < cursor + 4 * static_cast<std::size_t>(count)) return Err{BmpError::Truncated};
        m = data + cursor;
        cursor += 4 * static_cast<std::size_t>(count);
      } else if (infoSize == 52) {
        if (count == 4) return Err{BmpError::UnsupportedFormat};
      }
      for (int i = 0; i < count; ++i) l.masks[static_cast<std::size_t>(i)] = U32(m + 4 * i);
      if (count == 3 && infoSize >= 56) l.masks[3] = U32(info + 52);
      l.useMasks = true;
    } else if (l.compression != BI_RGB) {
      return Err{BmpError::UnsupportedFormat};
    }
  }
  if (l.bpp == 16 && !l.useMasks) {  // 5-5-5
    l.masks = {0x7C00, 0x03E0, 0x001F, 0};
    l.useMasks = true;
  }
  if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 16 && l.bpp != 24 && l.bpp != 32)
    return Err{BmpError::UnsupportedFormat};
  if (l.width > TBitmap::kMaxSide || l.height > TBitmap::kMaxSide ||
      static_cast<std::uint64_t>(l.width) * static_cast<std::uint64_t>(l.height) > kMaxPixels)
    return Err{BmpError::BadDimensions};

  l.paletteOffset = cursor;
  if (l.bpp <= 8) {
    const std::uint32_t maxEntries = 1u << l.bpp;
    if (colorsUsed > 256) return Err{BmpError::BadPalette};
    l.paletteEntries = static_cast<int>(colorsUsed == 0 ? maxEntries : colorsUsed);
  }
  std::uint64_t paletteEnd = cursor + static_cast<std::uint64_t>(l.paletteEntries) * l.paletteEntrySize;
  if (offBits >= cursor && offBits < paletteEnd) {
    // The pixels start inside the declared palette: keep the entries that fit before them.
    l.paletteEntries = static_cast<int>((offBits - cursor) / static_cast<std::uint64_t>(l.paletteEntrySize));
    paletteEnd = offBits;
  }
  l.pixelOffset = offBits >= paletteEnd ? offBits : paletteEnd;
  l.stride = (static_cast<std::uint64_t>(l.width) * l.bpp + 31) / 32 * 4;
  if (l.width > 0 && l.height > 0)
    l.pixelBytes = l.stride * static_cast<std::uint64_t>(l.height - 1) +
                   (static_cast<std::uint64_t>(l.width) * l.bpp + 7) / 8;
  return l;
}

std::uint8_t Extract(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!(mask & 1u)) {
    mask >>= 1;
    ++shift;
  }
  int bits = 0;
  while (mask & 1u) {
    mask >>= 1;
    ++bits;
  }
  std::uint32_t v = (value >> shift) & ((bits >= 32) ? 0xFFFFFFFFu : ((1u << bits) - 1));
  if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
  // Widen by repeating the bits, so full scale maps to 255.
  std::uint32_t out = 0;
  int have = 0;
  while (have < 8) {
    out = (out << bits) | v;
    have += bits;
  }
  return static_cast<std::uint8_t>(out >> (have - 8));
}

Result<TBitmap, BmpError> Decode(const std::uint8_t* data, std::size_t size) {
  auto parsed = ParseHeaders(data, size);
  if (!parsed) return Err{parsed.error()};
  const Layout& l = *parsed;
  if (l.End() > size) return Err{BmpError::Truncated};
  if (l.paletteOffset + static_cast<std::size_t>(l.paletteEntries) * l.paletteEntrySize > size)
    return Err{BmpError::BadPalette};

  std::array<std::uint8_t, 256 * 3> palette{};  // b, g, r; entries past the palette stay black
  for (int i = 0; i < l.paletteEntries; ++i) {
    const std::uint8_t* e = data + l.paletteOffset + static_cast<std::size_t>(i) * l.paletteEntrySize;
    std::memcpy(&palette[static_cast<std::size_t>(i) * 3], e, 3);
  }

  const TPixelFormat pf = l.bpp == 32 ? pf32bit : pf24bit;
  TBitmap bmp;
  if (l.width == 0 || l.height == 0) {
    bmp.SetPixelFormat(pf);
    return bmp;
  }
  try {
    bmp = TBitmap(l.width, l.height, pf);
  } catch (const Exception&) {
    return Err{BmpError::BadDimensions};
  }
  const bool standard32 = l.bpp == 32 && (!l.useMasks || (l.masks[0] == 0xFF0000 && l.masks[1] == 0xFF00 &&
                                                           l.masks[2] == 0xFF && (l.masks[3] == 0 || l.masks[3] == 0xFF000000u)));
  for (int row = 0; row < l.height; ++row) {
    const std::uint8_t* src = data + l.pixelOffset + l.stride * static_cast<std::uint64_t>(row);
    std::uint8_t* dst = bmp.ScanLine(l.topDown ? row : l.height - 1 - row);
    switch (l.bpp) {
      case 24:
        std::memcpy(dst, src, static_cast<std::size_t>(l.width) * 3);
        break;
      case 32:
        if (standard32) {
          std::memcpy(dst, src, static_cast<std::size_t>(l.width) * 4);
        } else {
          for (int x = 0; x < l.width; ++x) {
            const std::uint32_t v = U32(src + 4 * x);
            dst[4 * x + 0] = Extract(v, l.masks[2]);
            dst[4 * x + 1] = Extract(v, l.masks[1]);
            dst[4 * x + 2] = Extract(v, l.masks[0]);
            dst[4 * x + 3] = l.masks[3] ? Extract(v, l.masks[3]) : 0xFF;
          }
        }
        break;
      case 16:
        for (int x = 0; x < l.width; ++x) {
          const std::uint32_t v = U16(src + 2 * x);
          dst[3 * x + 0] = Extract(v, l.masks[2]);
          dst[3 * x + 1] = Extract(v, l.masks[1]);
          dst[3 * x + 2] = Extract(v, l.masks[0]);
        }
        break;
      default: {  // 1, 4, 8 bits through the palette
        const int perByte = 8 / l.bpp;
        const unsigned mask = (1u << l.bpp) - 1;
        for (int x = 0; x < l.width; ++x) {
          const std::uint8_t byte = src[x / perByte];
          const int shift = 8 - l.bpp * (x % perByte + 1);
          const unsigned index = (byte >> shift) & mask;
          std::memcpy(dst + 3 * x, &palette[index * 3], 3);
        }
      }
    }
  }
  return bmp;
}

// Reads up to `count` bytes, growing the buffer as data arrives (never trusting a declared size).
std::size_t ReadUpTo(TStream& stream, std::vector<std::uint8_t>& buf, std::uint64_t count) {
  constexpr std::size_t kChunk = 1 << 20;
  std::size_t have = buf.size();
  while (have < count) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, count - have));
    buf.resize(have + want);
    const std::int64_t got = stream.Read(buf.data() + have, static_cast<std::int64_t>(want));
    if (got <= 0) break;
    have += static_cast<std::size_t>(got);
    if (static_cast<std::size_t>(got) < want) {
      buf.resize(have);
      // Read may return short without being at the end; try again until it gives nothing.
    }
  }
  buf.resize(have);
  return have;
}

}  // namespace

Result<TBitmap, BmpError> TBitmap::ReadBmp(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr) return Err{BmpError::Truncated};
  return Decode(data, size);
}

Result<TBitmap, BmpError> TBitmap::ReadBmp(TStream& stream) {
  const std::int64_t start = stream.Position();
  std::vector<std::uint8_t> buf;
  // Headers first (at most the file header, the largest info header and four masks).
  ReadUpTo(stream, buf, kFileHeaderSize + kMaxInfoHeaderSize + 16);
  auto layout = ParseHeaders(buf.data(), buf.size());
  if (!layout) {
    if (start >= 0) stream.SetPosition(start);
    return Err{layout.error()};
  }
  const std::uint64_t end = layout->End();
  if (end > buf.size()) {
    ReadUpTo(stream, buf, end);
  } else {
    buf.resize(static_cast<std::size_t>(end));
  }
  auto result = Decode(buf.data(), buf.size());
  if (start >= 0) {
    // Leave the stream after the bitmap: its declared size when that covers the pixels.
    std::uint64_t consumed = std::min<std::uint64_t>(buf.size(), end);
    if (result && layout->declaredSize > consumed) {
      const std::int64_t total = stream.Size();
      if (total >= 0 && static_cast<std::uint64_t>(start) + layout->declaredSize <= static_cast<std::uint64_t>(total))
        consumed = layout->declaredSize;
    }
    stream.SetPosition(start + static_cast<std::int64_t>(consumed));
  }
  return result;
}

Result<void, BmpError> TBitmap::WriteBmp(TStream& stream) const {
  const int bpp = pf_ == pf32bit ? 32 : 24;
  const int width = Width();
  const int height = Height();
  const std::uint32_t stride = static_cast<std::uint32_t>((static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4);
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height);
  std::uint8_t header[kFileHeaderSize + 40] = {};
  header[0] = 'B';
  header[1] = 'M';
  Put32(header + 2, static_cast<std::uint32_t>(sizeof header) + imageSize);
  Put32(header + 10, sizeof header);
  std::uint8_t* info = header + kFileHeaderSize;
  Put32(info, 40);
  Put32(info + 4, static_cast<std::uint32_t>(width));
  Put32(info + 8, static_cast<std::uint32_t>(height));
  Put16(info + 12, 1);
  Put16(info + 14, static_cast<std::uint32_t>(bpp));
  Put32(info + 16, BI_RGB);
  Put32(info + 20, imageSize);
  if (stream.Write(header, sizeof header) != static_cast<std::int64_t>(sizeof header)) return Err{BmpError::WriteFailed};
  std::vector<std::uint8_t> row(stride, 0);
  const std::size_t bytes = static_cast<std::size_t>(width) * (bpp / 8);
  for (int y = height - 1; y >= 0; --y) {
    std::memcpy(row.data(), ScanLine(y), bytes);
    if (stream.Write(row.data(), stride) != static_cast<std::int64_t>(stride)) return Err{BmpError::WriteFailed};
  }
  return {};
}

void TBitmap::LoadFromStream(TStream& stream) {
  auto r = ReadBmp(stream);
  if (!r) throw EInvalidGraphic(BmpErrorText(r.error()));
  TBitmap& loaded = *r;
  *image_ = std::move(loaded.Image());
  pf_ = loaded.PixelFormat();
  alphaFormat_ = afIgnored;
  viewCache_.reset();
}

void TBitmap::SaveToStream(TStream& stream) const {
  if (!WriteBmp(stream)) throw EWriteError("Stream write error");
}

void TBitmap::LoadFromFile(const std::string& path) {
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TBitmap::SaveToFile(const std::string& path) const {
  TFileStream file(path, fmCreate);
  if (!WriteBmp(file)) throw EWriteError("Cannot write to file \"" + path + "\"");
}

}  // namespace tv
