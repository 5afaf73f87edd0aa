#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace wavorin {

// The program's command line: `wavorin [--help] [--version] [FILE]`. Read
// before any window system is touched, so --help and --version work without
// a display. Help and version go to `out`, complaints with the usage to `err`.
class CommandLine {
 public:
  CommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

  // Set when the program is to end at once with this status: 0 after --help
  // or --version, 2 after a command line it does not understand.
  std::optional<int> exit_status() const { return exit_status_; }
  // The file to play at start as a full path in the file system's encoding,
  // or empty.
  const std::string& file() const { return file_; }

 private:
  std::optional<int> exit_status_;
  std::string file_;
};

}  // namespace wavorin
