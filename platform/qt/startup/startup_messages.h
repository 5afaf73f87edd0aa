#pragma once

#include <QString>
#include <QTranslator>

namespace wavorin {

// The texts the program prints before its window system exists (help,
// version, a bad command line, no display), in the person's language. Works
// without a QCoreApplication, which cannot be made before a display is found.
class StartupMessages {
 public:
  StartupMessages();

  // `source` must be one of the texts marked in startup_messages.cpp.
  QString text(const char* source) const;

 private:
  QTranslator translator_;
  bool loaded_ = false;
};

}  // namespace wavorin
