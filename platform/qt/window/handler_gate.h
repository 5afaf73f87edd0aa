#pragma once

#include <functional>
#include <string>

namespace wavorin {

// Runs the program's handlers one at a time. An event that arrives while a
// handler runs (a timer tick during a modal dialog's event loop) is dropped,
// and once the gate is closed nothing runs any more. A run-time error
// escaping a handler closes the gate and goes to the error sink as its
// report line.
class HandlerGate {
 public:
  using ErrorSink = std::function<void(const std::string& report)>;

  explicit HandlerGate(ErrorSink on_error) : on_error_(std::move(on_error)) {}

  // Returns false when the handler was dropped.
  bool raise(const std::function<void()>& handler);
  void close() { closed_ = true; }
  bool closed() const { return closed_; }
  bool busy() const { return busy_; }

 private:
  ErrorSink on_error_;
  bool busy_ = false;
  bool closed_ = false;
};

}  // namespace wavorin
