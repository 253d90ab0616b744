// Results instead of exceptions across the core's API.
//
// A failure carries a category (what kind of trouble), a message for people
// (UTF-8) and, for unpacking, the step number the error box shows.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace qzt {

enum class ErrorKind {
  Io,        // the file cannot be opened, read or written
  Corrupt,   // bytes that cannot be what the format says
  Unsafe,    // a name or size that would escape or exhaust the target
  Refused,   // the input is well-formed but not accepted (wrong paper, ...)
  Usage,     // the caller asked for something that makes no sense
};

// What was wrong with a file that could not be read, for reports in the
// reader's own words; None where no such file is concerned.
enum class FileFault { None, Missing, Unreadable, TooShort, TooLarge };

struct Error {
  ErrorKind kind = ErrorKind::Io;
  std::string message;  // UTF-8, for people
  int step = 0;         // unpacking step (80..87), 0 when none applies
  FileFault fault = FileFault::None;

  static Error io(std::string m, int step = 0) { return {ErrorKind::Io, std::move(m), step}; }
  static Error corrupt(std::string m, int step = 0) { return {ErrorKind::Corrupt, std::move(m), step}; }
  static Error unsafe(std::string m, int step = 0) { return {ErrorKind::Unsafe, std::move(m), step}; }
  static Error refused(std::string m) { return {ErrorKind::Refused, std::move(m), 0}; }
  static Error file(FileFault f, std::string m) { return {ErrorKind::Io, std::move(m), 0, f}; }
};

// A value or an Error. Check ok() before value().
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Error error) : v_(std::move(error)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // REQUIRES: ok()
  const T& value() const& { return std::get<0>(v_); }
  T& value() & { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  const T& operator*() const& { return value(); }
  T& operator*() & { return value(); }
  const T* operator->() const { return &value(); }
  T* operator->() { return &value(); }

  // REQUIRES: !ok()
  const Error& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, Error> v_;
};

// Success or an Error, for operations without a value.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : error_(std::move(error)), ok_(false) {}
  static Status success() { return {}; }

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  // REQUIRES: !ok()
  const Error& error() const { return error_; }

 private:
  Error error_;
  bool ok_ = true;
};

}  // namespace qzt
