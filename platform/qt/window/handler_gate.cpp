#include "platform/qt/window/handler_gate.h"

#include <exception>

#include "platform/runtime_error.h"

namespace wavorin {

bool HandlerGate::raise(const std::function<void()>& handler) {
  if (busy_ || closed_) return false;
  busy_ = true;
  std::string report;
  try {
    handler();
  } catch (const RuntimeError& err) {
    report = err.report();
  } catch (const std::exception&) {
    report = RuntimeError(51, "Internal error").report();
  }
  busy_ = false;
  if (!report.empty()) {
    closed_ = true;
    on_error_(report);
  }
  return true;
}

}  // namespace wavorin
