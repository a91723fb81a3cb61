// A value, or the reason there is none: what setup code (reading the command line, opening,
// connecting, resolving, loading) returns. The reason is a text for the user, complete but for
// the program's own prefix ("rovant-printer-sim: ") and the line's end, which the caller adds.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace rovant {

// The reason an Expected holds no value.
struct Unexpected {
  std::string reason;
};

inline Unexpected Fail(std::string reason) { return Unexpected{std::move(reason)}; }

template <typename T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Expected(Unexpected failure) : state_(std::in_place_index<1>, std::move(failure.reason)) {}

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  // The value; only when there is one.
  T& operator*() { return *std::get_if<0>(&state_); }
  const T& operator*() const { return *std::get_if<0>(&state_); }
  T* operator->() { return std::get_if<0>(&state_); }
  const T* operator->() const { return std::get_if<0>(&state_); }

  // The reason; only when there is no value.
  const std::string& error() const { return *std::get_if<1>(&state_); }

 private:
  std::variant<T, std::string> state_;
};

// Done, or the reason not.
template <>
class [[nodiscard]] Expected<void> {
 public:
  Expected() = default;
  Expected(Unexpected failure) : failed_(true), reason_(std::move(failure.reason)) {}

  bool has_value() const { return !failed_; }
  explicit operator bool() const { return has_value(); }
  const std::string& error() const { return reason_; }

 private:
  bool failed_ = false;
  std::string reason_;
};

}  // namespace rovant
