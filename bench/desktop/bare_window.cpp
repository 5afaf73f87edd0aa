// The floor: a bare Qt 6 program that shows a frameless window cut to the
// same outline size (a disc on a rectangle) and paints it one colour.
//
//   wavorin_bare_window [--dialog <folder>]
//
// With --dialog, a click released at the program's Open button opens the
// program's file dialog, set up as the program sets it up, on <folder>: what
// Qt alone costs once that dialog has been used. Without it nothing of the
// dialog runs, before the paint or after.
#include <QApplication>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <cstring>
#include <utility>

#include "app/layout.h"

namespace {

class BareWindow : public QWidget {
 public:
  explicit BareWindow(QString dialog_folder) : dialog_folder_(std::move(dialog_folder)) {
    setWindowFlags(Qt::FramelessWindowHint);
    setFixedSize(225, 332);
    QRegion outline(QRect(0, 0, 225, 225), QRegion::Ellipse);
    setMask(outline.united(QRect(0, 112, 225, 220)));
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(150, 40, 30)); }

  void mouseReleaseEvent(QMouseEvent* event) override {
    // The Open button's face: a 32-pixel disc centred where the bench
    // presses the program's Open.
    constexpr wavorin::layout::PixelPoint kOpen =
        wavorin::layout::button_centre(wavorin::Element::b_opn);
    const QPoint from_open = event->position().toPoint() - QPoint(kOpen.x, kOpen.y);
    if (dialog_folder_.isEmpty() || QPoint::dotProduct(from_open, from_open) > 16 * 16) return;
    show_open();
  }

 private:
  // The program's Open dialog: Qt's own widgets (never the desktop's),
  // its title, wave-file filter and shown name, started on a folder and run
  // modally.
  void show_open() {
    QFileDialog dialog(this, QStringLiteral("Open wave"));
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({QString::fromUtf8("(WAVEファイル) *.wav (*.wav)")});
    dialog.setDefaultSuffix(QStringLiteral("wav"));
    dialog.setDirectory(dialog_folder_);
    dialog.selectFile(QStringLiteral("*.wav"));
    dialog.exec();
  }

  QString dialog_folder_;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QString dialog_folder;
  if (argc == 3 && std::strcmp(argv[1], "--dialog") == 0)
    dialog_folder = QFile::decodeName(argv[2]);
  BareWindow window(dialog_folder);
  window.show();
  return app.exec();
}
