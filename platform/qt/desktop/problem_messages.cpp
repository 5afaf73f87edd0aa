#include "platform/qt/desktop/problem_messages.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace wavorin {

QString sound_problem_text(const SoundReport& report) {
  switch (report.problem) {
    case SoundProblem::FileUnplayable: {
      const QString file = QFileInfo(QFile::decodeName(report.name.c_str())).fileName();
      switch (report.fault) {
        case FileFault::Missing:
          return QCoreApplication::translate(
                     "wavorin::Messages",
                     "Cannot play \"%1\": the file is missing. Choose another file with Open.")
              .arg(file);
        case FileFault::Unreadable:
          return QCoreApplication::translate("wavorin::Messages",
                                             "Cannot play \"%1\": the file cannot be read. Check "
                                             "its permissions, or choose another file with Open.")
              .arg(file);
        case FileFault::NotAWaveFile:
          return QCoreApplication::translate("wavorin::Messages",
                                             "Cannot play \"%1\": it is not a wave file this "
                                             "program can play. Choose another file with Open.")
              .arg(file);
      }
      return {};
    }
    case SoundProblem::FileCutShort:
      return QCoreApplication::translate(
                 "wavorin::Messages",
                 "\"%1\" could not be read to its end: the file is cut short or damaged.")
          .arg(QFileInfo(QFile::decodeName(report.name.c_str())).fileName());
    case SoundProblem::NoDevice:
      return QCoreApplication::translate(
          "wavorin::Messages",
          "No sound device could be opened, so sounds play silently. Check that a "
          "sound device is connected and not in use, then press Play again.");
    case SoundProblem::DeviceFailed:
      return QCoreApplication::translate(
          "wavorin::Messages",
          "The sound device stopped working while a sound played. Check the device, "
          "then press Play again.");
  }
  return {};
}

QString settings_not_saved_summary() {
  return QCoreApplication::translate("wavorin::Messages", "Settings not saved");
}

QString settings_not_saved_text(const QString& file, SaveFailure why) {
  const char* text = "";
  switch (why) {
    case SaveFailure::NotRegular:
      text = QT_TRANSLATE_NOOP("wavorin::Messages",
                               "The window position and the folder were not saved: %1 is not a "
                               "regular file, so it was left as it is.");
      break;
    case SaveFailure::Unreadable:
      text = QT_TRANSLATE_NOOP("wavorin::Messages",
                               "The window position and the folder were not saved: %1 cannot be "
                               "read, so it was left as it is. Check its permissions.");
      break;
    case SaveFailure::DiskFull:
      text = QT_TRANSLATE_NOOP("wavorin::Messages",
                               "The window position and the folder could not be saved to %1: the "
                               "disk is full.");
      break;
    case SaveFailure::FolderUnwritable:
      text = QT_TRANSLATE_NOOP("wavorin::Messages",
                               "The window position and the folder could not be saved to %1: its "
                               "folder cannot be written.");
      break;
  }
  return QCoreApplication::translate("wavorin::Messages", text).arg(file);
}

}  // namespace wavorin
