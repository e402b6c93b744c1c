// Windows BMP reading and writing.
#include <QImage>

#include "framework/Exceptions.h"
#include "framework/graphics/TBitmap.h"

namespace tv {

Result<TBitmap, BmpError> TBitmap::ReadBmp(const std::uint8_t*, std::size_t) { return Err{BmpError::Truncated}; }
Result<TBitmap, BmpError> TBitmap::ReadBmp(TStream&) { return Err{BmpError::Truncated}; }
Result<void, BmpError> TBitmap::WriteBmp(TStream&) const { return Err{BmpError::WriteFailed}; }
void TBitmap::LoadFromStream(TStream&) { throw EInvalidGraphic("Bitmap image is not valid"); }
void TBitmap::SaveToStream(TStream&) const {}
void TBitmap::LoadFromFile(const std::string&) { throw EInvalidGraphic("Bitmap image is not valid"); }
void TBitmap::SaveToFile(const std::string&) const {}

}  // namespace tv
