// The floor: a bare Qt 6 program that shows a frameless window cut to the
// same outline size (a disc on a rectangle) and paints it one colour.
#include <QApplication>
#include <QPainter>
#include <QRegion>
#include <QWidget>

namespace {

class BareWindow : public QWidget {
 public:
  BareWindow() {
    setWindowFlags(Qt::FramelessWindowHint);
    setFixedSize(225, 332);
    QRegion outline(QRect(0, 0, 225, 225), QRegion::Ellipse);
    setMask(outline.united(QRect(0, 112, 225, 220)));
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(150, 40, 30)); }
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  BareWindow window;
  window.show();
  return app.exec();
}
