#include "framework/graphics/TJPEGImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

extern "C" {
#include <jpeglib.h>
}

#include "framework/Exceptions.h"

namespace tv {

namespace {

constexpr std::uint64_t kMaxJpegPixels = std::uint64_t{1} << 26;
constexpr std::uint64_t kSmallJpegPixels = std::uint64_t{1} << 20;
constexpr std::uint64_t kPixelsPerByte = 2048;

// libjpeg reports fatal errors through error_exit, which must not return: jump back to the call.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

extern "C" void OnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

extern "C" void OnJpegMessage(j_common_ptr) {}

// Destination into a growing vector.
struct VectorDestination {
  jpeg_destination_mgr pub;
  std::vector<std::uint8_t>* out;
  std::uint8_t buffer[65536];
};

extern "C" void DestInit(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
  d->pub.next_output_byte = d->buffer;
  d->pub.free_in_buffer = sizeof d->buffer;
}

extern "C" boolean DestEmpty(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
  d->out->insert(d->out->end(), d->buffer, d->buffer + sizeof d->buffer);
  d->pub.next_output_byte = d->buffer;
  d->pub.free_in_buffer = sizeof d->buffer;
  return TRUE;
}

extern "C" void DestTerm(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
  d->out->insert(d->out->end(), d->buffer, d->buffer + (sizeof d->buffer - d->pub.free_in_buffer));
}

// Source over a memory buffer; past its end the decoder sees an end-of-image marker.
struct MemorySource {
  jpeg_source_mgr pub;
};

const JOCTET kEoi[2] = {0xFF, JPEG_EOI};

extern "C" void SrcInit(j_decompress_ptr) {}
extern "C" boolean SrcFill(j_decompress_ptr cinfo) {
  cinfo->src->next_input_byte = kEoi;
  cinfo->src->bytes_in_buffer = 2;
  return TRUE;
}
extern "C" void SrcSkip(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  auto n = static_cast<std::size_t>(count);
  while (n > cinfo->src->bytes_in_buffer) {
    n -= cinfo->src->bytes_in_buffer;
    SrcFill(cinfo);
  }
  cinfo->src->next_input_byte += n;
  cinfo->src->bytes_in_buffer -= n;
}
extern "C" void SrcTerm(j_decompress_ptr) {}

// Compresses rows of RGB. Only plain data lives in this frame, as longjmp may leave it.
bool CompressRgb(const std::uint8_t* rgb, std::size_t stride, int width, int height, int quality,
                 std::vector<std::uint8_t>* out) {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  VectorDestination dest;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnJpegError;
  err.pub.output_message = OnJpegMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  dest.pub.init_destination = DestInit;
  dest.pub.empty_output_buffer = DestEmpty;
  dest.pub.term_destination = DestTerm;
  dest.out = out;
  cinfo.dest = &dest.pub;
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.dct_method = JDCT_FLOAT;
  cinfo.optimize_coding = FALSE;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb + stride * cinfo.next_scanline);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

enum class DecodeStatus { Ok, Invalid, TooLarge, Memory };

struct DecodeTarget {
  // Called once the size is known; returns the first row and the row stride, or null to refuse.
  std::uint8_t* (*allocate)(void* ctx, int width, int height, std::size_t* stride);
  void* ctx;
};

DecodeStatus DecompressRgb(const std::uint8_t* data, std::size_t size, DecodeTarget target) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  MemorySource src;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnJpegError;
  err.pub.output_message = OnJpegMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return DecodeStatus::Invalid;
  }
  jpeg_create_decompress(&cinfo);
  src.pub.init_source = SrcInit;
  src.pub.fill_input_buffer = SrcFill;
  src.pub.skip_input_data = SrcSkip;
  src.pub.resync_to_restart = jpeg_resync_to_restart;
  src.pub.term_source = SrcTerm;
  src.pub.next_input_byte = data;
  src.pub.bytes_in_buffer = size;
  cinfo.src = &src.pub;
  jpeg_read_header(&cinfo, TRUE);
  // Even a flat picture costs a few bits per 8 x 8 block: a file far smaller than its declared
  // size would only fill memory with grey.
  const std::uint64_t pixels = static_cast<std::uint64_t>(cinfo.image_width) * cinfo.image_height;
  if (pixels > kMaxJpegPixels || (pixels > kSmallJpegPixels && pixels / kPixelsPerByte > size) ||
      cinfo.image_width > static_cast<JDIMENSION>(TBitmap::kMaxSide) ||
      cinfo.image_height > static_cast<JDIMENSION>(TBitmap::kMaxSide)) {
    jpeg_destroy_decompress(&cinfo);
    return DecodeStatus::TooLarge;
  }
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  std::size_t stride = 0;
  std::uint8_t* rows = target.allocate(target.ctx, static_cast<int>(cinfo.output_width),
                                       static_cast<int>(cinfo.output_height), &stride);
  if (!rows) {
    jpeg_destroy_decompress(&cinfo);
    return DecodeStatus::Memory;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = rows + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return DecodeStatus::Ok;
}

}  // namespace

const char* JpegErrorText(JpegError e) {
  switch (e) {
    case JpegError::Empty: return "JPEG image is empty";
    case JpegError::InvalidData: return "JPEG error";
    case JpegError::TooLarge: return "JPEG image is too large";
    case JpegError::WriteFailed: return "Stream write error";
  }
  return "JPEG error";
}

void TJPEGImage::Assign(const TBitmap& source) {
  bitmap_.Assign(source);
  bitmap_.SetPixelFormat(pf24bit);
  data_.clear();
}

void TJPEGImage::SetCompressionQuality(int q) { quality_ = q < 1 ? 1 : (q > 100 ? 100 : q); }

int TJPEGImage::Width() const { return bitmap_.Width(); }
int TJPEGImage::Height() const { return bitmap_.Height(); }

Result<std::vector<std::uint8_t>, JpegError> TJPEGImage::Encode(const TBitmap& picture, int quality) {
  if (picture.Empty()) return Err{JpegError::Empty};
  const int width = picture.Width(), height = picture.Height();
  const int bpp = picture.PixelFormat() == pf32bit ? 4 : 3;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3 * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* s = picture.ScanLine(y);
    std::uint8_t* d = rgb.data() + static_cast<std::size_t>(y) * width * 3;
    for (int x = 0; x < width; ++x, s += bpp, d += 3) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
    }
  }
  std::vector<std::uint8_t> out;
  if (!CompressRgb(rgb.data(), static_cast<std::size_t>(width) * 3, width, height,
                   quality < 1 ? 1 : (quality > 100 ? 100 : quality), &out))
    return Err{JpegError::InvalidData};
  return out;
}

Result<TBitmap, JpegError> TJPEGImage::Decode(const std::uint8_t* data, std::size_t size) {
  if (!data || size == 0) return Err{JpegError::InvalidData};
  struct Ctx {
    std::vector<std::uint8_t> rgb;
    int width = 0, height = 0;
  } ctx;
  DecodeTarget target{[](void* c, int w, int h, std::size_t* stride) -> std::uint8_t* {
                        auto* ctx = static_cast<Ctx*>(c);
                        try {
                          ctx->rgb.assign(static_cast<std::size_t>(w) * 3 * static_cast<std::size_t>(h), 0);
                        } catch (const std::bad_alloc&) {
                          return nullptr;
                        }
                        ctx->width = w;
                        ctx->height = h;
                        *stride = static_cast<std::size_t>(w) * 3;
                        return ctx->rgb.data();
                      },
                      &ctx};
  switch (DecompressRgb(data, size, target)) {
    case DecodeStatus::Ok: break;
    case DecodeStatus::TooLarge: return Err{JpegError::TooLarge};
    case DecodeStatus::Memory: return Err{JpegError::TooLarge};
    case DecodeStatus::Invalid: return Err{JpegError::InvalidData};
  }
  TBitmap bmp(ctx.width, ctx.height, pf24bit);
  for (int y = 0; y < ctx.height; ++y) {
    const std::uint8_t* s = ctx.rgb.data() + static_cast<std::size_t>(y) * ctx.width * 3;
    std::uint8_t* d = bmp.ScanLine(y);
    for (int x = 0; x < ctx.width; ++x, s += 3, d += 3) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
    }
  }
  return bmp;
}

Result<std::vector<std::uint8_t>, JpegError> TJPEGImage::Compressed() const {
  if (!data_.empty()) return data_;
  return Encode(bitmap_, quality_);
}

void TJPEGImage::SaveToStream(TStream& stream) const {
  auto bytes = Compressed();
  if (!bytes) throw EInvalidGraphic(JpegErrorText(bytes.error()));
  stream.WriteBuffer(bytes->data(), static_cast<std::int64_t>(bytes->size()));
}

void TJPEGImage::SaveToFile(const std::string& path) const {
  auto bytes = Compressed();  // compress first, so a failure leaves no file behind
  if (!bytes) throw EInvalidGraphic(JpegErrorText(bytes.error()));
  TFileStream file(path, fmCreate);
  const auto size = static_cast<std::int64_t>(bytes->size());
  if (file.Write(bytes->data(), size) != size) throw EWriteError("Cannot write to file \"" + path + "\"");
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  for (;;) {
    const std::int64_t n = stream.Read(chunk, sizeof chunk);
    if (n <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  auto decoded = Decode(bytes.data(), bytes.size());
  if (!decoded) throw EInvalidGraphic(JpegErrorText(decoded.error()));
  bitmap_ = std::move(*decoded);
  data_ = std::move(bytes);
}

void TJPEGImage::LoadFromFile(const std::string& path) {
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

}  // namespace tv
