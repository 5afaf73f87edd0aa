#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/app_identity.h"
#include "tests/assets/asset_images.h"

namespace wavorin::test {
namespace {

constexpr int kPainterTimeoutMs = 60'000;

int run_painter(const QStringList& arguments) {
  QProcess painter;
  painter.start(WAVORIN_PAINT_EXE, arguments);
  if (!painter.waitForFinished(kPainterTimeoutMs)) {
    return -1;
  }
  return painter.exitStatus() == QProcess::NormalExit ? painter.exitCode() : -1;
}

// The committed pictures and icons are the painter's output: a change to the
// painter that is not followed by repainting them shows up here. One run
// paints them all.
TEST(Painter, RepaintsTheCommittedPicturesAndIconsPixelForPixel) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  ASSERT_EQ(run_painter({folder.path()}), 0);
  for (const char* name : {"skin.png", "ani_strip.png", "p_ply.png", "p_stp.png", "p_opn.png",
                           "p_cls.png", "skin@2x.png", "ani_strip@2x.png", "p_ply@2x.png",
                           "p_stp@2x.png", "p_opn@2x.png", "p_cls@2x.png"}) {
    const QImage fresh = load_rgb(folder.filePath(name));
    const QImage committed = load_asset(name);
    ASSERT_FALSE(fresh.isNull()) << name << " was not written";
    ASSERT_FALSE(committed.isNull()) << name << " is not committed";
    ASSERT_EQ(fresh.size(), committed.size()) << name;
    const auto diff = first_difference(fresh, fresh.rect(), committed, QPoint(0, 0));
    if (diff) {
      ADD_FAILURE() << name << " differs at (" << diff->x() << ", " << diff->y() << ")";
    }
  }
  // The icons keep their transparency, so they are compared with it, and
  // exactly: the painter unpremultiplies them in integers itself, since Qt's
  // conversion rounds halfway channels by the processor's approximate
  // reciprocal, one unit apart between processor models.
  for (const int size : kIconSizes) {
    const QString name = QString("icons/%1/%2.png").arg(size).arg(kApplicationId);
    const QImage fresh = QImage(folder.filePath(name)).convertToFormat(QImage::Format_ARGB32);
    const QImage committed =
        QImage(asset_path(name.toUtf8().constData())).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(fresh.isNull()) << qPrintable(name) << " was not written";
    ASSERT_FALSE(committed.isNull()) << qPrintable(name) << " is not committed";
    EXPECT_TRUE(fresh == committed) << qPrintable(name) << " differs from the painter's";
  }
}

TEST(Painter, FailsWhenItCannotWriteTheFolder) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QFile blocker(folder.filePath("not-a-folder"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_NE(run_painter({folder.filePath("not-a-folder/out")}), 0);
  EXPECT_NE(run_painter({}), 0);
}

}  // namespace
}  // namespace wavorin::test
