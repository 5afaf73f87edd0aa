#include "platform/qt/files/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace wavorin {

namespace {

// As Qt's settings place the user's files on Linux: an absolute
// $XDG_CONFIG_HOME as it is, a relative one under the home folder.
QString config_home() {
  const QByteArray env = qgetenv("XDG_CONFIG_HOME");
  if (env.isEmpty()) return QDir::homePath() + QStringLiteral("/.config");
  if (env.startsWith('/')) return QFile::decodeName(env);
  return QDir::homePath() + QLatin1Char('/') + QFile::decodeName(env);
}

// Follows symbolic links, also to a file not made yet; a loop of links is
// left as it is and fails later like any unusable name.
QString followed(QString path) {
  constexpr int kMaxLinks = 40;  // as the kernel's ELOOP limit
  for (int link = 0; link < kMaxLinks; ++link) {
    const QFileInfo info(path);
    if (!info.isSymLink()) break;
    path = info.symLinkTarget();
  }
  return path;
}

void remove_leftovers(const QString& path) {
  const QFileInfo info(path);
  const QRegularExpression leftover(
      QStringLiteral("^%1\\.[A-Za-z0-9]{6}(\\.lock|\\.[A-Za-z0-9]{6})?$")
          .arg(QRegularExpression::escape(info.fileName())));
  const QDir dir = info.absoluteDir();
  const QStringList names =
      dir.entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
  for (const QString& name : names) {
    if (!leftover.match(name).hasMatch()) continue;
    const QByteArray file = QFile::encodeName(dir.filePath(name));
    struct stat status {};
    if (::lstat(file.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
        status.st_uid == ::geteuid())
      ::unlink(file.constData());
  }
}

}  // namespace

SettingsFile::SettingsFile(const QString& app)
    : path_(followed(config_home() + QLatin1Char('/') + app + QLatin1Char('/') + app +
                     QStringLiteral(".ini"))) {
  const QByteArray name = QFile::encodeName(path_);
  // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer, and
  // fstat then refuses it.
  descriptor_ = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor_ < 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return;
    state_ = State::Unreadable;
    reason_ = error == EACCES || error == EPERM ? "cannot be read" : std::strerror(error);
    return;
  }
  struct stat status {};
  if (::fstat(descriptor_, &status) != 0 || !S_ISREG(status.st_mode)) {
    state_ = State::NotRegular;
    reason_ = S_ISDIR(status.st_mode) ? "is a folder" : "is not a regular file";
    ::close(descriptor_);
    descriptor_ = -1;
    return;
  }
  state_ = State::Readable;
  mode_ = status.st_mode & 07777;
  size_ = status.st_size;
}

SettingsFile::~SettingsFile() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

QString SettingsFile::read_name() const {
  return QStringLiteral("/proc/self/fd/%1").arg(descriptor_);
}

const char* save_failure_reason(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return "disk full";
    case EACCES:
    case EPERM:
    case EROFS:
      return "access denied";
    default:
      return std::strerror(error);
  }
}

SaveFailure save_failure_of(int error) {
  return error == ENOSPC || error == EDQUOT ? SaveFailure::DiskFull : SaveFailure::FolderUnwritable;
}

namespace {

// A lock file is made empty and its holder's name written at once. One still
// empty after this long was left by a holder killed in between: the lock
// library, unable to read whose it is, would trust it for half a minute and
// make every save until then wait out its timeout.
constexpr qint64 kEmptyLockAgeMs = 500;

bool left_empty(const QByteArray& lock_name) {
  struct stat status {};
  if (::lstat(lock_name.constData(), &status) != 0 || !S_ISREG(status.st_mode) ||
      status.st_size != 0)
    return false;
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const qint64 age_ms = (static_cast<qint64>(now.tv_sec) - status.st_mtim.tv_sec) * 1000 +
                        (now.tv_nsec - status.st_mtim.tv_nsec) / 1000000;
  return age_ms > kEmptyLockAgeMs;
}

}  // namespace

std::unique_ptr<QLockFile> hold_save_lock(const QString& path, int wait_ms) {
  const QString lock_name = path + QStringLiteral(".lock");
  const QByteArray native_lock_name = QFile::encodeName(lock_name);
  auto lock = std::make_unique<QLockFile>(lock_name);
  // The lock library reads an existing lock file to see whether its holder
  // lives: one that is not a regular file (a FIFO) could stop it for ever.
  struct stat status {};
  if (::lstat(native_lock_name.constData(), &status) == 0 && !S_ISREG(status.st_mode)) return lock;
  QElapsedTimer waited;
  waited.start();
  while (!lock->tryLock(0)) {
    // Only a lock held by another is waited for; a folder that cannot be
    // written is not.
    if (lock->error() != QLockFile::LockFailedError) return lock;
    if (left_empty(native_lock_name)) {
      ::unlink(native_lock_name.constData());
      continue;
    }
    if (waited.elapsed() >= wait_ms) return lock;
    QThread::msleep(5);
  }
  remove_leftovers(path);
  return lock;
}

}  // namespace wavorin
