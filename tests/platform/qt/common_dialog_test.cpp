#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <vector>

#include "platform/qt/files/qt_common_dialog.h"

namespace wavorin {
namespace {

const FileDialogSettings kSettings{"Open wave", "(WAVEファイル) *.wav|*.wav", "*.wav", "wav", ""};

// The Open button: QFileDialog's own checks run before it closes.
void open(QFileDialog* dialog) { static_cast<QDialog*>(dialog)->accept(); }

// Drives the next modal dialog once it is up: `act` gets the file dialog and
// its file-name box, and must close it.
void when_dialog_opens(const std::function<void(QFileDialog*, QLineEdit*)>& act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "no file dialog";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
      return;
    }
    act(dialog, dialog->findChild<QLineEdit*>("fileNameEdit"));
  });
}

class CommonDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    for (const char* name : {"a.wav", "song.wav", "notes.txt"}) {
      QFile file(dir_.filePath(name));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir_.path()).mkdir("sub"));
  }
  std::string path(const char* name = "") const {
    return QFile::encodeName(QDir::cleanPath(dir_.filePath(name))).toStdString();
  }

  QTemporaryDir dir_;
  QtCommonDialog dialog_{kSettings, nullptr};
};

TEST_F(CommonDialogTest, ShowsTitleFilterAndStartingNameThenRemembersTheChoice) {
  dialog_.set_InitDir(path());
  QString first_name, title, object_name, filter_text, folder;
  when_dialog_opens([&](QFileDialog* d, QLineEdit* edit) {
    title = d->windowTitle();
    object_name = d->objectName();
    folder = d->directory().absolutePath();
    filter_text = d->findChild<QComboBox*>("fileTypeCombo")->currentText();
    first_name = edit->text();
    edit->setText("a.wav");
    open(d);
  });
  dialog_.ShowOpen();
  EXPECT_EQ(title, QString("Open wave"));
  EXPECT_EQ(object_name, QString("CommonDialog1"));
  EXPECT_EQ(folder, dir_.path());
  EXPECT_EQ(filter_text, QString::fromUtf8("(WAVEファイル) *.wav"));
  EXPECT_EQ(first_name, QString("*.wav"));
  EXPECT_EQ(dialog_.FileName(), path("a.wav"));
  EXPECT_EQ(dialog_.InitDir(), path());

  // Next time the last name is offered; Cancel clears the name only.
  dialog_.set_InitDir(path("sub"));
  QString second_name;
  when_dialog_opens([&](QFileDialog* d, QLineEdit* edit) {
    second_name = edit->text();
    d->reject();
  });
  dialog_.ShowOpen();
  EXPECT_EQ(second_name, QString("a.wav"));
  EXPECT_EQ(dialog_.FileName(), "");
  EXPECT_EQ(dialog_.InitDir(), path("sub"));
}

TEST_F(CommonDialogTest, TypedNameWithoutSuffixGetsWavAndInitDirFollowsTheFile) {
  dialog_.set_InitDir(path("sub"));
  when_dialog_opens([&](QFileDialog* d, QLineEdit* edit) {
    edit->setText(QString::fromUtf8(path("song").c_str()));
    open(d);
  });
  dialog_.ShowOpen();
  EXPECT_EQ(dialog_.FileName(), path("song.wav"));
  EXPECT_EQ(dialog_.InitDir(), path());
}

TEST_F(CommonDialogTest, TypedFolderNavigatesAndMissingFileKeepsTheDialogOpen) {
  dialog_.set_InitDir(path());
  QString after_folder;
  bool open_after_folder = false;
  bool open_after_missing = false;
  QString message;
  when_dialog_opens([&](QFileDialog* d, QLineEdit* edit) {
    edit->setText("sub");
    open(d);
    after_folder = d->directory().absolutePath();
    open_after_folder = d->isVisible();

    // The "not found" message is modal too: close it once it is up.
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        message = box->text();
        box->close();
      }
    });
    edit->setText("missing.wav");
    open(d);
    open_after_missing = d->isVisible();
    d->reject();
  });
  dialog_.ShowOpen();
  EXPECT_EQ(after_folder, dir_.filePath("sub"));
  EXPECT_TRUE(open_after_folder);
  EXPECT_TRUE(open_after_missing);
  EXPECT_TRUE(message.contains("missing.wav")) << message.toStdString();
  EXPECT_EQ(dialog_.FileName(), "");
  EXPECT_EQ(dialog_.InitDir(), path());
}

TEST_F(CommonDialogTest, FifoOrDeviceNamedWavIsRefusedAndARegularFileIsTaken) {
  ASSERT_EQ(mkfifo(QFile::encodeName(dir_.filePath("pipe.wav")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link("/dev/null", dir_.filePath("null.wav")));
  dialog_.set_InitDir(path());
  // Each name in a showing of its own; the dialog is cancelled if it stays.
  for (const char* name : {"pipe.wav", "null", "a.wav"}) {
    QString message;
    bool stayed = false;
    when_dialog_opens([&](QFileDialog* d, QLineEdit* edit) {
      edit->setText(name);
      open(d);
      stayed = d->isVisible();
      // The refusal is told in a box over the dialog, which stays open.
      if (auto* box = d->findChild<QMessageBox*>(); box != nullptr && box->isVisible()) {
        message = box->text();
        box->accept();
      }
      if (stayed) d->reject();
    });
    dialog_.ShowOpen();
    const bool regular = name == std::string("a.wav");
    EXPECT_EQ(stayed, !regular) << name;
    EXPECT_EQ(message.isEmpty(), regular) << name << ": " << message.toStdString();
    if (!regular) {
      EXPECT_TRUE(message.startsWith(name)) << message.toStdString();
    }
    EXPECT_EQ(dialog_.FileName(), regular ? path("a.wav") : "") << name;
  }
}

TEST_F(CommonDialogTest, StartsInTheNearestExistingFolder) {
  EXPECT_EQ(QtCommonDialog::start_folder(dir_.filePath("gone/deeper")), dir_.path());
  EXPECT_EQ(QtCommonDialog::start_folder(dir_.filePath("sub")), dir_.filePath("sub"));
  EXPECT_EQ(QtCommonDialog::start_folder(""), QDir::homePath());
  // A file is no folder: its own folder is used.
  EXPECT_EQ(QtCommonDialog::start_folder(dir_.filePath("a.wav")), dir_.path());

  dialog_.set_InitDir(path("gone/deeper"));
  QString folder;
  when_dialog_opens([&](QFileDialog* d, QLineEdit*) {
    folder = d->directory().absolutePath();
    d->reject();
  });
  dialog_.ShowOpen();
  EXPECT_EQ(folder, dir_.path());
  EXPECT_EQ(dialog_.InitDir(), path("gone/deeper"));
}

TEST(CommonDialogFilter, PairsOfDescriptionAndPatternBecomeQtNameFilters) {
  EXPECT_EQ(QtCommonDialog::name_filters("(WAVEファイル) *.wav|*.wav"),
            QStringList{QString::fromUtf8("(WAVEファイル) *.wav (*.wav)")});
  EXPECT_EQ(QtCommonDialog::name_filters("Sounds|*.wav;*.wave|All|*.*"),
            (QStringList{"Sounds (*.wav *.wave)", "All (*.*)"}));
  EXPECT_TRUE(QtCommonDialog::name_filters("").isEmpty());
  EXPECT_TRUE(QtCommonDialog::name_filters("lonely").isEmpty());
}

}  // namespace
}  // namespace wavorin
