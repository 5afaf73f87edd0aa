#include "platform/qt/files/qt_common_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/qt/files/open_file_dialog.h"

namespace wavorin {

QtCommonDialog::QtCommonDialog(const FileDialogSettings& settings, QWidget* parent)
    : settings_(settings),
      parent_(parent),
      init_dir_(settings.init_dir),
      shown_name_(QString::fromUtf8(settings.file_name)) {}

QStringList QtCommonDialog::name_filters(const std::string& filter) {
  const QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
  }
  return filters;
}

QString QtCommonDialog::start_folder(const QString& dir) {
  if (!dir.isEmpty()) {
    QString path = QDir::cleanPath(QDir(dir).absolutePath());
    while (!QFileInfo(path).isDir()) {
      const QString parent = QFileInfo(path).path();
      if (parent == path) break;
      path = parent;
    }
    if (QFileInfo(path).isDir()) return path;
  }
  return QDir::homePath();
}

void QtCommonDialog::ShowOpen() {
  OpenFileDialog dialog(parent_, QString::fromUtf8(settings_.title));
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(name_filters(settings_.filter));
  dialog.setDefaultSuffix(QString::fromUtf8(settings_.default_ext));
  dialog.setDirectory(start_folder(QFile::decodeName(QByteArray::fromStdString(init_dir_))));
  dialog.selectFile(shown_name_);

  file_name_.clear();
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QFileInfo chosen(dialog.selectedFiles().constFirst());
  file_name_ = QFile::encodeName(chosen.absoluteFilePath()).toStdString();
  init_dir_ = QFile::encodeName(chosen.absolutePath()).toStdString();
  shown_name_ = chosen.fileName();
}

}  // namespace wavorin
