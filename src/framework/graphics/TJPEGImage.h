#pragma once
// JPEG pictures over libjpeg (6b interface): compression of a 24-bit copy of a bitmap with the
// library's default parameters at a chosen quality, and decoding into a 24-bit bitmap.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Streams.h"
#include "framework/graphics/TBitmap.h"
#include "platform/Result.h"

namespace tv {

enum class JpegError : std::uint8_t {
  Empty,        // nothing to encode
  InvalidData,  // libjpeg rejected the data
  TooLarge,     // dimensions beyond what we decode
  WriteFailed,  // the stream took fewer bytes than written
};
const char* JpegErrorText(JpegError e);

class TJPEGImage {
 public:
  static constexpr int kDefaultQuality = 90;

  TJPEGImage() = default;

  // Takes a 24-bit copy of the picture; the next save compresses it.
  void Assign(const TBitmap& source);
  int CompressionQuality() const { return quality_; }
  void SetCompressionQuality(int q);  // clamped to 1..100

  int Width() const;
  int Height() const;
  bool Empty() const { return bitmap_.Empty() && data_.empty(); }
  // The picture (decoded on load, or the assigned copy).
  const TBitmap& Bitmap() const { return bitmap_; }

  // Compressed bytes of the picture: the loaded data as it was, or a fresh compression of the
  // assigned picture.
  Result<std::vector<std::uint8_t>, JpegError> Compressed() const;
  void SaveToStream(TStream& stream) const;  // throws EInvalidGraphic / EWriteError
  void SaveToFile(const std::string& path) const;
  // Reads a JPEG from the stream's position to its end and decodes it.
  void LoadFromStream(TStream& stream);  // throws EInvalidGraphic
  void LoadFromFile(const std::string& path);

  // Value-returning entry points for library code.
  static Result<std::vector<std::uint8_t>, JpegError> Encode(const TBitmap& picture, int quality);
  static Result<TBitmap, JpegError> Decode(const std::uint8_t* data, std::size_t size);

 private:
  TBitmap bitmap_;
  std::vector<std::uint8_t> data_;  // the bytes loaded, kept until a new picture is assigned
  int quality_ = kDefaultQuality;
};

}  // namespace tv
