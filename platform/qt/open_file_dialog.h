#pragma once

#include <QFileDialog>

namespace wavorin {

// Qt's file dialog, but a typed name that is a folder of the shown folder
// navigates into it even with a default suffix set (Qt would otherwise look
// for "<folder>.<suffix>" and report it missing).
class OpenFileDialog : public QFileDialog {
  Q_OBJECT

 public:
  OpenFileDialog(QWidget* parent, const QString& title) : QFileDialog(parent, title) {}

 protected:
  void accept() override;
};

}  // namespace wavorin
