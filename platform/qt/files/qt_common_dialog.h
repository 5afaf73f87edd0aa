#pragma once

#include <QString>
#include <QStringList>

#include "platform/common_dialog.h"
#include "platform/window_description.h"

class QWidget;

namespace wavorin {

// The open-file dialog on Qt's own file dialog widget (never the desktop's),
// so it looks and behaves the same everywhere. Paths are the locale's bytes.
class QtCommonDialog : public CommonDialog {
 public:
  QtCommonDialog(const FileDialogSettings& settings, QWidget* parent);

  std::string InitDir() const override { return init_dir_; }
  void set_InitDir(const std::string& dir) override { init_dir_ = dir; }
  void ShowOpen() override;
  std::string FileName() const override { return file_name_; }

  // "description|pattern|..." as the dialog control stores it, as Qt name
  // filters "description (pattern ...)".
  static QStringList name_filters(const std::string& filter);
  // The folder the dialog opens in for `dir`: the nearest existing folder, or
  // the home folder.
  static QString start_folder(const QString& dir);

 private:
  FileDialogSettings settings_;
  QWidget* parent_;
  std::string init_dir_;
  std::string file_name_;
  QString shown_name_;  // what the file-name box holds when the dialog opens
};

}  // namespace wavorin
