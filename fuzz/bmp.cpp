// Fuzz target for the BMP reader (and the icon reader, whose images are BMP data): any input must
// give a picture or an error, within bounded memory. A decoded bitmap is written back and read
// again, which must give the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/Exceptions.h"
#include "framework/Streams.h"
#include "framework/graphics/TBitmap.h"
#include "framework/graphics/TIcon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    tv::TReadOnlyMemoryStream stream(data, static_cast<std::int64_t>(size));
    tv::TIcon icon;
    try {
      icon.LoadFromStream(stream);
    } catch (const tv::EInvalidGraphic&) {
    }
  }
  auto direct = tv::TBitmap::ReadBmp(data, size);
  tv::TReadOnlyMemoryStream stream(data, static_cast<std::int64_t>(size));
  auto streamed = tv::TBitmap::ReadBmp(stream);
  if (direct.ok() != streamed.ok()) std::abort();
  if (!direct.ok()) return 0;
  if (!direct->SamePixels(*streamed)) std::abort();
  tv::TMemoryStream out;
  if (!direct->WriteBmp(out).ok()) std::abort();
  out.SetPosition(0);
  auto again = tv::TBitmap::ReadBmp(out);
  if (!again.ok() || !again->SamePixels(*direct)) std::abort();
  return 0;
}
