#pragma once

#include <sys/types.h>

#include <QLockFile>
#include <QString>
#include <memory>

namespace wavorin {

// The user's settings file as the file system holds it, opened for reading
// without ever waiting: only a regular file is read, so a FIFO or a device
// put in its place cannot stop the program's start.
class SettingsFile {
 public:
  enum class State {
    Absent,      // nothing there yet: a save creates it
    Readable,    // a regular file, open
    Unreadable,  // there but cannot be opened (permissions): a save must keep it
    NotRegular,  // a folder, FIFO, socket or device: a save must keep it
  };

  // The file <config home>/<app>/<app>.ini, where the config home is
  // $XDG_CONFIG_HOME or ~/.config as Qt's settings place it; symbolic links
  // are followed, so a save replaces the file a link points to, not the link.
  explicit SettingsFile(const QString& app);
  ~SettingsFile();
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  const QString& path() const { return path_; }
  State state() const { return state_; }
  // Why the file is Unreadable or NotRegular, in a few words.
  const char* reason() const { return reason_; }
  // A name that reads exactly the file opened here, never one put in its
  // place since (/proc/self/fd/N). Only while Readable.
  QString read_name() const;
  // Permission bits of the file opened here, 0600 for a new file.
  mode_t mode() const { return mode_; }
  qint64 size() const { return size_; }

 private:
  QString path_;
  int descriptor_ = -1;
  State state_ = State::Absent;
  const char* reason_ = "";
  mode_t mode_ = 0600;
  qint64 size_ = 0;
};

// The few words a failed save reports for errno `error`: "disk full" for a
// full disk or quota, "access denied" for permissions, else the system's text.
const char* save_failure_reason(int error);

// Why a save failed, as the person told can act on it.
enum class SaveFailure {
  NotRegular,        // a folder, FIFO or device where the file should be: kept
  Unreadable,        // the file is there but cannot be read: kept
  DiskFull,          // no room on the disk, or the user's quota is used up
  FolderUnwritable,  // the file cannot be made or replaced in its folder
};

// What errno `error` of a write, a rename or a new file in the folder means.
SaveFailure save_failure_of(int error);

// Takes <path>.lock, which every save holds while it writes, waiting at most
// `wait_ms` for a save still running, and once it is held removes what a
// save killed half-way left beside the file: the new file before its rename
// (path.XXXXXX) and the settings library's own temporary and lock files
// (path.XXXXXX.XXXXXX, path.XXXXXX.lock); only regular files of this user.
// A lock whose holder has died is taken over. The lock is held until the
// returned object ends; it may not be held (a folder that cannot be written),
// and then nothing is removed.
std::unique_ptr<QLockFile> hold_save_lock(const QString& path, int wait_ms);

}  // namespace wavorin
