#pragma once
// The program's failures: one hierarchy under `Error`, so that a boundary can tell them from a
// programming error (std::logic_error) or a lack of memory, and each kind by its type.
//
// `Failure` is an arithmetic or index failure inside a computation (division by zero, overflow,
// logarithm or square root of an invalid argument, index out of range). Computations throw it;
// the command that started them catches it and shows its own prefix, the description and
// "! Please try again by other initial values.". Data written before the failure stay.
//
// `InputError` is a complete message about the user's input ("Error: Species number cannot > 6.");
// the command shows it as it stands and stops.
//
// `Cancelled` is a long computation the user asked to stop. It is no failure: the command that
// started the computation catches its own kind (a simulation's, a fit's) and ends quietly, saying
// what was kept.

#include <stdexcept>
#include <string>
#include <string_view>

namespace kivex::model {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Failure : public Error {
 public:
  // `prefix` names the operation that owns the failure ("CV Error: "); empty lets the catching
  // command use its own prefix.
  explicit Failure(const std::string& description, std::string prefix = {})
      : Error(description), prefix_(std::move(prefix)) {}

  std::string_view description() const { return what(); }
  const std::string& prefix() const { return prefix_; }

 private:
  std::string prefix_;
};

class InputError : public Error {
 public:
  explicit InputError(const std::string& message) : Error(message) {}
  std::string_view message() const { return what(); }
};

class Cancelled : public Error {
 public:
  Cancelled() : Error("Cancelled by the user") {}
};

// Common descriptions, so that messages read the same wherever they arise.
inline constexpr std::string_view kDivisionByZero = "Division by zero";
inline constexpr std::string_view kOverflow = "Overflow";
inline constexpr std::string_view kInvalidArgument = "Invalid procedure call or argument";
inline constexpr std::string_view kSubscriptOutOfRange = "Subscript out of range";

// The message box text of a failure caught by a command: prefix, description and the advice.
// The failure's own prefix wins over `commandPrefix`.
std::string FailureMessage(const Failure& failure, std::string_view commandPrefix);

}  // namespace kivex::model
