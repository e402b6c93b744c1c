#pragma once
// Errors as values at library boundaries: Result<T, E> holds a value or an error enum.
#include <cassert>
#include <utility>
#include <variant>

namespace tv {

template <class E>
struct Err {
  E error;
};
template <class E>
Err(E) -> Err<E>;

template <class T, class E>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
  Result(Err<E> e) : v_(std::in_place_index<1>, e.error) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() & { assert(ok()); return std::get<0>(v_); }
  const T& value() const& { assert(ok()); return std::get<0>(v_); }
  T&& value() && { assert(ok()); return std::get<0>(std::move(v_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  E error() const { assert(!ok()); return std::get<1>(v_); }

 private:
  std::variant<T, E> v_;
};

template <class E>
class [[nodiscard]] Result<void, E> {
 public:
  Result() = default;
  Result(Err<E> e) : failed_(true), e_(e.error) {}
  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  E error() const { assert(failed_); return e_; }

 private:
  bool failed_ = false;
  E e_{};
};

}  // namespace tv
