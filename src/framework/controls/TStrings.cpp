#include "framework/controls/TStrings.h"

#include <algorithm>

namespace tv {

const std::string& TStrings::Strings(int index) const {
  static const std::string empty;
  if (index < 0 || index >= Count()) return empty;
  return items_[static_cast<std::size_t>(index)];
}

void TStrings::SetStrings(int index, const std::string& s) {
  if (index < 0 || index >= Count()) return;
  items_[static_cast<std::size_t>(index)] = s;
  Changed();
}

int TStrings::Add(const std::string& s) {
  items_.push_back(s);
  Changed();
  return Count() - 1;
}

void TStrings::Insert(int index, const std::string& s) {
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, s);
  Changed();
}

void TStrings::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  Changed();
}

void TStrings::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TStrings::IndexOf(const std::string& s) const {
  auto it = std::find(items_.begin(), items_.end(), s);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TStrings::Assign(const std::vector<std::string>& items) {
  items_ = items;
  Changed();
}

std::string TStrings::Text() const {
  std::string out;
  for (const std::string& s : items_) out += s + "\r\n";
  return out;
}

}  // namespace tv
