#pragma once

#include <string>

namespace wavorin {

// The open-file dialog component. Its title, filter, initial file name and
// default extension come from the window description; the program sets only
// the initial folder.
class CommonDialog {
 public:
  virtual ~CommonDialog() = default;

  virtual std::string InitDir() const = 0;
  virtual void set_InitDir(const std::string& dir) = 0;
  // Shows the modal dialog and returns when the user closes it.
  virtual void ShowOpen() = 0;
  // The chosen file's full path; empty after Cancel.
  virtual std::string FileName() const = 0;
};

}  // namespace wavorin
