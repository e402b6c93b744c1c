#pragma once
// An ordered list of UTF-8 strings that tells its owner when it changes (the items of a list).
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace tv {

class TStrings {
 public:
  TStrings() = default;
  TStrings(std::initializer_list<std::string> items) : items_(items) {}

  int Count() const { return static_cast<int>(items_.size()); }
  // Empty for an index out of range.
  const std::string& Strings(int index) const;
  const std::string& operator[](int index) const { return Strings(index); }
  void SetStrings(int index, const std::string& s);
  int Add(const std::string& s);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear();
  // Exact, case-sensitive match; -1 when absent.
  int IndexOf(const std::string& s) const;
  void Assign(const std::vector<std::string>& items);
  void Assign(const TStrings& other) { Assign(other.items_); }
  const std::vector<std::string>& Items() const { return items_; }
  // Items separated by CR LF.
  std::string Text() const;

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  std::vector<std::string> items_;
};

}  // namespace tv
