#include "platform/qt/open_file_dialog.h"

#include <QFileInfo>
#include <QLineEdit>

namespace wavorin {

void OpenFileDialog::accept() {
  auto* name_box = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  const QString typed = name_box != nullptr ? name_box->text().trimmed() : QString();
  if (!typed.isEmpty() && !typed.contains(QLatin1Char('*')) && !typed.contains(QLatin1Char('?'))) {
    const QFileInfo info(directory(), typed);
    if (info.isDir()) {
      setDirectory(info.absoluteFilePath());
      name_box->clear();
      return;
    }
  }
  QFileDialog::accept();
}

}  // namespace wavorin
