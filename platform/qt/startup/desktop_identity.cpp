#include "platform/qt/startup/desktop_identity.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QString>

#include "platform/app_identity.h"

namespace wavorin {

// No display name is set: Qt would add it to the window's title, which
// stays "Form1".
void present_to_desktop() {
  QGuiApplication::setDesktopFileName(QString::fromUtf8(kApplicationId));
  QCoreApplication::setApplicationVersion(QString::fromUtf8(kVersion));
}

void show_window_icon() {
  // The larger sizes the desktop takes from the installed theme icons by the
  // application id.
  QIcon icon;
  for (const int size : kWindowIconSizes) {
    // Read as PNG by name: asking the image format plugins would load them
    // all for the program's life.
    QImageReader reader(
        QStringLiteral(":/icons/%1/%2.png").arg(size).arg(QString::fromUtf8(kApplicationId)),
        "png");
    reader.setAutoDetectImageFormat(false);
    icon.addPixmap(QPixmap::fromImage(reader.read()));
  }
  QApplication::setWindowIcon(icon);
}

}  // namespace wavorin
