#include "platform/qt/files/open_file_dialog.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

namespace wavorin {

bool OpenFileDialog::is_special_file(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && !info.isFile() && !info.isDir();
}

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
  // Only regular files are sounds: a FIFO or a device named ".wav" would
  // block the player or never end. Folders and missing names are Qt's own
  // to handle.
  for (const QString& chosen : selectedFiles()) {
    if (is_special_file(chosen)) {
      // Window-modal and not waited for: the dialog stays open behind it.
      auto* box =
          new QMessageBox(QMessageBox::Warning, windowTitle(),
                          tr("%1\nis not a regular file.").arg(QFileInfo(chosen).fileName()),
                          QMessageBox::Ok, this);
      box->setAttribute(Qt::WA_DeleteOnClose);
      box->open();
      return;
    }
  }
  QFileDialog::accept();
}

}  // namespace wavorin
