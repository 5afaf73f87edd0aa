#pragma once

#include <QFileDialog>

namespace wavorin {

// Qt's file dialog, but a typed name that is a folder of the shown folder
// navigates into it even with a default suffix set (Qt would otherwise look
// for "<folder>.<suffix>" and report it missing), and only a regular file (or
// a link to one) is accepted.
class OpenFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  OpenFileDialog(QWidget* parent, const QString& title) : QFileDialog(parent, title) {}

  // True for an existing name that is neither a regular file nor a folder:
  // a FIFO, a device, a socket (links are followed).
  static bool is_special_file(const QString& path);

 protected:
  void accept() override;
};

}  // namespace wavorin
