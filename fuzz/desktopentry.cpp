// Autostart desktop entries: reading arbitrary files, and writing then reading back any command.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/qt/DesktopEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  (void)tv::platform::qt::DesktopEntryCommand(text);
  (void)tv::platform::qt::DecodeExecValue(text);

  // Any command without NUL survives being written and read back.
  if (text.find('\0') == std::string::npos) {
    if (tv::platform::qt::DecodeExecValue(tv::platform::qt::EncodeExecValue(text)) != text) __builtin_trap();
    if (tv::platform::qt::DesktopEntryCommand(tv::platform::qt::DesktopEntryText("Tovalin", text)) != text)
      __builtin_trap();
  }
  return 0;
}
