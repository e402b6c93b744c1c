#pragma once
// The system clipboard, text only.
#include <string>

namespace tv {

class TClipboard {
 public:
  std::string AsText() const;
  void SetAsText(const std::string& text);
  void Clear() { SetAsText(std::string()); }
};

TClipboard* Clipboard();

}  // namespace tv
