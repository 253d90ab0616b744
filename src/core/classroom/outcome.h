// What a classroom call returns: a value, or why it was refused, in the
// few kinds the room's clients tell apart.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace qzt::classroom {

enum class Denial {
  BadInput,   // malformed or out of range; nothing changed
  NoSession,  // no or unknown session
  Forbidden,  // wrong code or token, exam closed, already handed in
  NotFound,
  Conflict,   // already signed in, or a stale answer version
  Storage,    // the answer folder could not be written
};

struct Refusal {
  Denial why = Denial::BadInput;
  std::string message;  // UTF-8, Chinese for candidates
};

template <typename T>
class [[nodiscard]] Outcome {
 public:
  Outcome(T value) : value_(std::move(value)) {}
  Outcome(Refusal refusal) : refusal_(std::move(refusal)) {}
  bool ok() const { return value_.has_value(); }
  // REQUIRES: ok()
  const T& value() const { return *value_; }
  T& value() { return *value_; }
  // REQUIRES: !ok()
  const Refusal& refusal() const { return refusal_; }

 private:
  std::optional<T> value_;
  Refusal refusal_;
};

inline Refusal refuse(Denial why, std::string message) { return {why, std::move(message)}; }

}  // namespace qzt::classroom
