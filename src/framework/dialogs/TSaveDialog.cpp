#include "framework/dialogs/TSaveDialog.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Screen.h"
#include "platform/Platform.h"

namespace tv {

TSaveDialog::TSaveDialog(TComponent* owner) : TComponent(owner) {}

void TSaveDialog::SetDefaultExt(const std::string& ext) {
  defaultExt_ = (!ext.empty() && ext[0] == '.') ? ext.substr(1) : ext;
}

std::vector<std::pair<std::string, std::string>> TSaveDialog::ParseFilter(const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const std::size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::vector<std::pair<std::string, std::string>> out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i + 1].empty()) continue;
    out.emplace_back(parts[i].empty() ? parts[i + 1] : parts[i], parts[i + 1]);
  }
  return out;
}

bool TSaveDialog::Execute() {
  platform::SaveFileDialogOptions o;
  o.title = title_;
  o.initialDir = initialDir_;
  o.fileName = fileName_;
  o.defaultExt = defaultExt_;
  o.filters = ParseFilter(filter_);
  // The chosen filter comes first: the platform dialog starts with the first one.
  if (filterIndex_ > 1 && filterIndex_ <= static_cast<int>(o.filters.size()))
    std::rotate(o.filters.begin(), o.filters.begin() + (filterIndex_ - 1), o.filters.begin() + filterIndex_);
  if (Screen && Screen->ActiveForm())
    o.owner = Screen->ActiveForm()->Handle();
  else if (Application && Application->MainForm())
    o.owner = Application->MainForm()->Handle();
  const std::optional<std::string> chosen = platform::GetPlatform().RunSaveFileDialog(o);
  if (!chosen) return false;
  fileName_ = *chosen;
  return true;
}

}  // namespace tv
