#include "platform/qt/startup/startup_messages.h"

#include <QLocale>
#include <QtGlobal>

namespace wavorin {

namespace {

// The context under which lupdate files these texts; see the marks in
// command_line.cpp and display_check.cpp.
constexpr const char* kContext = "wavorin::StartupMessages";

}  // namespace

StartupMessages::StartupMessages()
    : loaded_(translator_.load(QLocale::system(), QStringLiteral("wavorin_startup"),
                               QStringLiteral("_"), QStringLiteral(":/i18n"))) {}

QString StartupMessages::text(const char* source) const {
  if (loaded_) {
    QString translated = translator_.translate(kContext, source);
    if (!translated.isEmpty()) return translated;
  }
  return QString::fromUtf8(source);
}

}  // namespace wavorin
