#pragma once

#include <stdexcept>
#include <string>

namespace wavorin {

// A run-time error: the host reports it ("Run-time error '6': Overflow") and
// ends the program with a non-zero status.
class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}

  int number() const { return number_; }
  std::string report() const {
    return "Run-time error '" + std::to_string(number_) + "': " + what();
  }

  static RuntimeError Overflow() { return {6, "Overflow"}; }
  static RuntimeError DivisionByZero() { return {11, "Division by zero"}; }
  static RuntimeError TypeMismatch() { return {13, "Type mismatch"}; }

 private:
  int number_;
};

}  // namespace wavorin
