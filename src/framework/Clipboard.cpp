#include "framework/Clipboard.h"

#include "platform/Platform.h"

namespace tv {

std::string TClipboard::AsText() const { return platform::GetPlatform().ClipboardText(); }

void TClipboard::SetAsText(const std::string& text) { platform::GetPlatform().SetClipboardText(text); }

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}

}  // namespace tv
