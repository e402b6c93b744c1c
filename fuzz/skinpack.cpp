// Fuzzes the skin package reader, the options reader and the reference notations with one input:
// it is read as a package, then as an options text whose every value is parsed as a reference.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "skin/acSkinPack.h"
#include "skin/sMaskData.h"
#include "skin/sSkinOptions.h"

namespace {

void ParseOptions(std::string_view text) {
  tv::TsSkinIni ini(text);
  for (const tv::TsIniSection& section : ini.Sections()) {
    for (const tv::TsIniEntry& entry : section.Entries) {
      try {
        auto ref = tv::ParseMaskReference(entry.Value, section.Name, entry.Key);
        if (ref) {
          tv::TsMaskData& m = ref->Mask;
          tv::ComputeMaskMargins(m);
          (void)tv::MaskFrameWidth(m);
          (void)tv::MaskFrameHeight(m);
          (void)tv::MaskLeftMargin(m);
          (void)tv::MaskBottomMargin(m);
        }
      } catch (const tv::ESkinLoadError&) {
      }
      (void)tv::ParseGradientData(entry.Value);
      (void)tv::TryStrToInt(entry.Value);
      (void)tv::TryStrToFloat(entry.Value);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tv::TReadOnlyMemoryStream source(data, static_cast<std::int64_t>(size));
  auto reader = std::make_unique<tv::TacSkinConvertor>();
  reader->SetSource(&source);
  if (tv::TacSkinConvertor::ReadPackage(reader)) {
    for (const auto& item : reader->Images()) (void)reader->IndexOfImage(tv::UpperCaseAscii(item.FileName));
    if (reader->Options()) {
      const auto& bytes = reader->Options()->Bytes();
      ParseOptions(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    reader->DetachSource();
  }
  ParseOptions(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
