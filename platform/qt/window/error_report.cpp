#include "platform/qt/window/error_report.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <iostream>

namespace wavorin {

ErrorReport::ErrorReport()
    : box_(QGuiApplication::platformName() == QLatin1String("offscreen") ? Box::Skipped
                                                                         : Box::Shown) {}

void ErrorReport::show(const std::string& title, const std::string& line, QWidget* parent) const {
  std::cerr << "wavorin: " << line << std::endl;
  if (box_ == Box::Skipped) return;
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(title), QString::fromUtf8(line),
                  QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace wavorin
