#pragma once

#include <cassert>
#include <concepts>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace ampelon {

// Why an operation failed, as a text for the user ("No space left on device"). Returned where a
// Result is expected; being its own type, it is never taken for a value, not even a text.
struct Failure {
  std::string reason;
};

// What everything that can fail gives back: its value, or the Failure that says why there is
// none. C++20 has no std::expected; this is the part of it the program uses, under the same
// names. Asking a failure for its value, or a value for its error, is a programming error and
// fails an assertion.
template <typename T>
class [[nodiscard]] Result {
 public:
  template <std::convertible_to<T> U = T>
  Result(U&& value) : m_content(std::in_place_index<0>, std::forward<U>(value)) {}
  Result(Failure failure) : m_content(std::in_place_index<1>, std::move(failure)) {}

  explicit operator bool() const { return m_content.index() == 0; }

  T& value() {
    assert(*this);
    return std::get<0>(m_content);
  }
  const T& value() const {
    assert(*this);
    return std::get<0>(m_content);
  }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  const std::string& error() const {
    assert(!*this);
    return std::get<1>(m_content).reason;
  }

 private:
  std::variant<T, Failure> m_content;
};

// For operations that give nothing back when they work.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : m_failure(std::move(failure)) {}

  explicit operator bool() const { return !m_failure; }

  const std::string& error() const {
    assert(m_failure);
    return m_failure->reason;
  }

 private:
  std::optional<Failure> m_failure;
};

}  // namespace ampelon
