#include "skin/sMaskData.h"

#include <png.h>

#include <algorithm>
#include <cstring>

#include "skin/acSkinPack.h"
#include "skin/sSkinOptions.h"

namespace tv {

namespace {

[[noreturn]] void ThrowNotInteger(std::string_view text) {
  throw ESkinLoadError(SkinError::BadValue, "'" + std::string(text) + "' is not a valid integer value");
}

// A 1-based digit field of a positional notation.
int Field(std::string_view value, std::size_t first, std::size_t last) {
  if (value.size() < last) ThrowNotInteger(value.size() >= first ? value.substr(first - 1) : std::string_view());
  const std::string_view text = value.substr(first - 1, last - first + 1);
  auto n = TryStrToInt(text);
  if (!n) ThrowNotInteger(text);
  return *n;
}

std::int16_t Short(int v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); }

std::vector<std::string_view> Split(std::string_view s, std::string_view separators) {
  std::vector<std::string_view> out;
  std::size_t pos = 0;
  while (pos <= s.size()) {
    const std::size_t sep = s.find_first_of(separators, pos);
    const std::size_t end = sep == std::string_view::npos ? s.size() : sep;
    out.push_back(s.substr(pos, end - pos));
    if (sep == std::string_view::npos) break;
    pos = sep + 1;
  }
  return out;
}

std::vector<int> Numbers(std::string_view word) {
  std::vector<int> out;
  for (auto part : Split(word, ", "))
    if (!part.empty()) out.push_back(TryStrToInt(part).value_or(0));
  return out;
}

std::string Extension(std::string_view upperName) {
  const std::size_t dot = upperName.rfind('.');
  if (dot == std::string_view::npos) return {};
  return std::string(upperName.substr(dot));
}

}  // namespace

bool IsJpegName(std::string_view upperValue) {
  return upperValue.find(".JPG") != std::string_view::npos || upperValue.find(".JPEG") != std::string_view::npos;
}

std::optional<TsMaskReference> ParseMaskReference(std::string_view value, const std::string& section,
                                                  const std::string& key) {
  if (value.empty()) return std::nullopt;
  TsMaskReference ref;
  TsMaskData& m = ref.Mask;
  m.SectionName = section;
  m.KeyName = key;
  ref.Notation = value.front();
  switch (value.front()) {
    case '@':
      m.Kind = mkGlyph;
      m.Rect = {Field(value, 2, 5), Field(value, 7, 10), Field(value, 12, 15), Field(value, 17, 20)};
      m.FrameCount = Short(Field(value, 22, 22));
      m.RowMode = Short(Field(value, 24, 24));
      return ref;
    case '^':
      m.Kind = mkBorder;
      m.Rect = {Field(value, 2, 5), Field(value, 7, 10), Field(value, 12, 15), Field(value, 17, 20)};
      m.Margins[0] = Short(Field(value, 22, 25));
      m.Margins[1] = Short(Field(value, 27, 30));
      m.Margins[2] = Short(Field(value, 32, 35));
      m.Margins[3] = Short(Field(value, 37, 40));
      m.FrameCount = Short(Field(value, 42, 42));
      m.RowMode = Short(Field(value, 44, 44));
      m.FillMode = Short(Field(value, 46, 46));
      m.UniformMargin = Short(Field(value, 48, 48));
      ref.ComputeMargins = m.Margins[0] == 0 && m.Margins[1] == 0 && m.Margins[2] == 0 && m.Margins[3] == 0;
      return ref;
    case '~':
      m.Kind = mkTexture;
      m.Rect = {Field(value, 2, 5), Field(value, 7, 10), Field(value, 12, 15), Field(value, 17, 20)};
      m.FillMode = Short(Field(value, 22, 23));
      m.RowMode = value.size() < 25 ? 0 : Short(Field(value, 25, 25));
      m.FrameCount = 1;
      return ref;
    case '!': {
      auto fields = Split(value.substr(1), "!");
      const std::string name(fields[0]);
      const std::string ext = Extension(UpperCaseAscii(name));
      if (ext != ".BMP" && ext != ".PNG") return std::nullopt;
      auto num = [&](std::size_t i) { return i < fields.size() ? TryStrToInt(fields[i]).value_or(0) : 0; };
      ref.From = TsMaskReference::Source::Member;
      ref.ImageName = name;
      ref.WholeImage = true;
      m.FrameCount = Short(num(1));
      m.RowMode = Short(num(2));
      m.Kind = static_cast<std::uint8_t>(std::clamp(num(3), 0, 4));
      for (int i = 0; i < 4; ++i) m.Margins[i] = Short(num(4 + static_cast<std::size_t>(i)));
      ref.ComputeMargins = fields.size() < 5;
      m.FillMode = fields.size() > 8 ? Short(num(8)) : 1;
      return ref;
    }
    default:
      break;
  }
  m.SectionName = UpperCaseAscii(section);
  m.KeyName = UpperCaseAscii(key);
  if (value.find('#') != std::string_view::npos && value != "#") {
    // Words are separated by blanks; a parenthesised group is one word.
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < value.size()) {
      if (value[i] == ' ' || value[i] == ')') {
        ++i;
      } else if (value[i] == '(') {
        const std::size_t close = value.find(')', i + 1);
        const std::size_t end = close == std::string_view::npos ? value.size() : close;
        words.push_back(value.substr(i + 1, end - i - 1));
        i = end + 1;
      } else {
        const std::size_t end = value.find_first_of(" ()", i);
        words.push_back(value.substr(i, (end == std::string_view::npos ? value.size() : end) - i));
        i = end == std::string_view::npos ? value.size() : end;
      }
    }
    if (words.size() < 3) return std::nullopt;
    auto rect = Numbers(words[1]);
    auto params = Numbers(words[2]);
    if (rect.size() < 4 || params.size() < 2) return std::nullopt;
    ref.Notation = '#';
    m.Kind = mkBorder;
    m.Rect = {rect[0], rect[1], rect[2], rect[3]};
    m.FrameCount = Short(std::max(1, params[0]));
    m.RowMode = Short(std::max(0, params[1]));
    m.UniformMargin = Short(params.size() > 2 ? std::max(0, params[2]) : 0);
    m.FillMode = Short(params.size() > 3 ? params[3] : 1);
    ref.ComputeMargins = true;
    return ref;
  }
  if (UpperCaseAscii(std::string(value)).find(".BMP") != std::string::npos) {
    ref.Notation = 'B';
    ref.From = TsMaskReference::Source::Member;
    ref.ImageName = std::string(value);
    ref.WholeImage = true;
    m.Kind = mkBorder;
    m.FrameCount = 3;
    m.RowMode = 1;
    ref.ComputeMargins = true;
    return ref;
  }
  return std::nullopt;
}

void ComputeMaskMargins(TsMaskData& m) {
  if (m.UniformMargin != 0) {
    for (auto& margin : m.Margins) margin = m.UniformMargin;
    return;
  }
  const int frames = std::max<int>(1, m.FrameCount);
  const int rows = std::max<int>(1, m.RowMode + 1);
  m.Margins[0] = m.Margins[2] = Short(m.Rect.Width() / (frames * 3));
  m.Margins[1] = m.Margins[3] = Short(m.Rect.Height() / (rows * 3));
}

int MaskFrameWidth(const TsMaskData& m) {
  if (m.FrameCount >= 2) return m.Rect.Width() / m.FrameCount;
  if (m.FrameCount == 1) return m.Rect.Width();
  return 0;
}

int MaskFrameHeight(const TsMaskData& m) {
  if (m.RowMode == 0) return m.Rect.Height();
  if (m.RowMode == 1) return m.Rect.Height() / 2;
  if (m.RowMode > 1) return m.Rect.Height() / (m.RowMode + 1);
  return 0;
}

namespace {
int Effective(int own, int uniform, int whole) {
  if (own > 0) return own;
  if (uniform > 0) return uniform;
  return whole;
}
}  // namespace

int MaskLeftMargin(TsMaskData& m) {
  if (m.FrameCount == 0) m.FrameCount = 1;
  return Effective(m.Margins[0], m.UniformMargin, MaskFrameWidth(m));
}
int MaskTopMargin(const TsMaskData& m) { return Effective(m.Margins[1], m.UniformMargin, MaskFrameHeight(m)); }
int MaskRightMargin(const TsMaskData& m) { return Effective(m.Margins[2], m.UniformMargin, MaskFrameWidth(m)); }
int MaskBottomMargin(const TsMaskData& m) {
  return Effective(m.Margins[3], m.UniformMargin, MaskFrameHeight(m));
}

std::int16_t ComputeCornerFlag(const TsMaskData& m, const TBitmap* master) {
  if (m.SectionName == "BUTTON_HUGE" && m.KeyName == "BORDERSMASK") return 2;
  if (m.Rect.Height() == 0) return 0;
  const TBitmap* image = m.Image ? m.Image.get() : master;
  if (!image || image->Empty() || image->PixelFormat() != pf32bit) return 0;
  const int l = m.Rect.Left;
  const int t = m.Rect.Top;
  const int w = MaskFrameWidth(m);
  const int h = MaskFrameHeight(m);
  // Areas are clipped to the image, so a corner on the image's last row or column is seen too.
  const int maxX = image->Width();
  const int maxY = image->Height();
  auto scan = [&](int x0, int x1, int y0, int y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, maxX);
    y1 = std::min(y1, maxY);
    for (int y = y0; y < y1; ++y) {
      const std::uint8_t* row = image->ScanLine(y);
      for (int x = x0; x < x1; ++x) {
        std::uint32_t px;
        std::memcpy(&px, row + 4 * x, 4);
        if (px == 0x00FF00FFu) return true;
      }
    }
    return false;
  };
  const int ml = m.Margins[0], mt = m.Margins[1], mr = m.Margins[2], mb = m.Margins[3];
  if (scan(l, l + ml, t, t + mt) || scan(l + w - mr, l + w, t, t + mt) || scan(l, l + ml, t + h - mb, t + h) ||
      scan(l + w - mr, l + w, t + h - mb, t + h))
    return 1;
  return 0;
}

void MakeMasterBitmap(TBitmap& bitmap) {
  if (bitmap.PixelFormat() != pf32bit) {
    bitmap.SetPixelFormat(pf32bit);
    for (int y = 0; y < bitmap.Height(); ++y) {
      std::uint8_t* p = bitmap.ScanLine(y);
      for (int x = 0; x < bitmap.Width(); ++x, p += 4)
        p[3] = (p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF) ? 0 : 0xFF;
    }
  }
  bitmap.SetTransparent(true);
  bitmap.SetTransparentColor(clFuchsia);
}

TBitmap DecodeSkinPng(const std::uint8_t* data, std::size_t size, bool premultiply) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size))
    throw ESkinLoadError(SkinError::BadImage, std::string("Invalid PNG image: ") + image.message);
  image.format = PNG_FORMAT_BGRA;
  if (image.width == 0 || image.height == 0 || image.width > static_cast<png_uint_32>(TBitmap::kMaxSide) ||
      image.height > static_cast<png_uint_32>(TBitmap::kMaxSide)) {
    png_image_free(&image);
    throw ESkinLoadError(SkinError::BadImage, "Invalid PNG image: bad dimensions");
  }
  TBitmap bitmap(static_cast<int>(image.width), static_cast<int>(image.height), pf32bit);
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    const std::string message = image.message;
    png_image_free(&image);
    throw ESkinLoadError(SkinError::BadImage, "Invalid PNG image: " + message);
  }
  const int width = bitmap.Width();
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* dst = bitmap.ScanLine(y);
    std::memcpy(dst, pixels.data() + static_cast<std::size_t>(y) * width * 4, static_cast<std::size_t>(width) * 4);
    for (int x = 0; x < width; ++x, dst += 4) {
      if (dst[0] == 0xFF && dst[1] == 0xFF && dst[2] == 0xFF && dst[3] == 0) {
        dst[0] = dst[1] = dst[2] = 0;
      } else if (premultiply) {
        const unsigned a = dst[3];
        for (int c = 0; c < 3; ++c) dst[c] = static_cast<std::uint8_t>(dst[c] * a / 256);
      }
    }
  }
  bitmap.SetAlphaFormat(premultiply ? afPremultiplied : afDefined);
  return bitmap;
}

}  // namespace tv
