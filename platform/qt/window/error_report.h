#pragma once

#include <string>

class QWidget;

namespace wavorin {

// Tells the user about a run-time error: one line on stderr and, unless
// skipped, a modal message box titled with the window's title.
class ErrorReport {
 public:
  enum class Box { Shown, Skipped };

  // The box is skipped where nobody could see or close it (the offscreen
  // platform the tests run on).
  ErrorReport();
  explicit ErrorReport(Box box) : box_(box) {}

  void show(const std::string& title, const std::string& line, QWidget* parent) const;
  bool box_shown() const { return box_ == Box::Shown; }

 private:
  Box box_;
};

}  // namespace wavorin
