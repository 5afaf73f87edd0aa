#include "platform/qt/files/qt_settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <cerrno>
#include <cstdlib>
#include <iostream>

namespace wavorin {

namespace {

QString from_local(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string to_local(const QString& text) { return text.toLocal8Bit().toStdString(); }

const char* status_text(QSettings::Status status) {
  switch (status) {
    case QSettings::NoError:
      return "no error";
    case QSettings::AccessError:
      return "access denied";
    case QSettings::FormatError:
      return "format error";
  }
  return "unknown error";
}

// How long a save waits for another program's save of the same file, in
// milliseconds; a save takes a few.
constexpr int kSaveLockWaitMs = 2000;

// Why the settings library could not write the new file, as an errno: it
// keeps the system's reason to itself, so ask the disk for room for the whole
// file.
int write_failure(int descriptor, qint64 bytes) {
  const int error = ::posix_fallocate(descriptor, 0, static_cast<off_t>(bytes));
  return error == ENOSPC || error == EDQUOT ? error : EACCES;
}

// Whether the file written ends with a whole line. The settings library takes
// a short write of its last line (a full disk) for success; every line it
// writes ends with a newline.
bool ends_whole(const QByteArray& name) {
  const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return false;
  struct stat status {};
  char last = 0;
  const bool whole = ::fstat(descriptor, &status) == 0 && status.st_size > 0 &&
                     ::pread(descriptor, &last, 1, status.st_size - 1) == 1 && last == '\n';
  ::close(descriptor);
  return whole;
}

}  // namespace

QtSettingsStore::~QtSettingsStore() { commit(); }

std::string QtSettingsStore::GetSetting(const std::string& app, const std::string& section,
                                        const std::string& key, const std::string& default_value) {
  const auto kept = pending_.find(app);
  if (kept != pending_.end()) {
    const auto it = kept->second.find({section, key});
    if (it != kept->second.end()) return it->second;
  }
  const SettingsFile file(from_local(app));
  if (cleaned_.insert(app).second) hold_save_lock(file.path(), 0);
  if (file.state() != SettingsFile::State::Readable) return default_value;
  QSettings settings(file.read_name(), QSettings::IniFormat);
  settings.beginGroup(from_local(section));
  const QVariant value = settings.value(from_local(key));
  if (!value.isValid()) return default_value;
  // A hand-edited "a, b" reads back as a list; its text is the joined list.
  if (value.typeId() == QMetaType::QStringList) return to_local(value.toStringList().join(", "));
  if (!value.canConvert<QString>()) return default_value;
  return to_local(value.toString());
}

void QtSettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                  const std::string& key, const std::string& value) {
  pending_[app][{section, key}] = value;
}

void QtSettingsStore::commit() {
  auto pending = std::move(pending_);
  pending_.clear();
  for (const auto& [app, keys] : pending) commit_app(app, keys);
}

// The new file is written whole beside the old one and renamed over it. Keys
// of the old file are carried over; a file that cannot be read as a whole
// (binary garbage) carries nothing and is simply replaced, but one that
// cannot be opened at all is kept.
void QtSettingsStore::commit_app(const std::string& app, const Keys& keys) {
  const SettingsFile old_file(from_local(app));
  const QString& file = old_file.path();
  if (old_file.state() == SettingsFile::State::Unreadable)
    return report_failure(file, old_file.reason(), SaveFailure::Unreadable);
  if (old_file.state() == SettingsFile::State::NotRegular)
    return report_failure(file, old_file.reason(), SaveFailure::NotRegular);

  QDir().mkpath(QFileInfo(file).absolutePath());
  const auto lock = hold_save_lock(file, kSaveLockWaitMs);
  QByteArray next = QFile::encodeName(file + QStringLiteral(".XXXXXX"));
  const int descriptor = ::mkostemp(next.data(), O_CLOEXEC);
  if (descriptor < 0) {
    const int error = errno;
    return report_failure(file, save_failure_reason(error), save_failure_of(error));
  }
  const char* failure = nullptr;
  int error = 0;
  {
    qint64 bytes = old_file.size() + 64;
    QSettings out(QFile::decodeName(next), QSettings::IniFormat);
    if (old_file.state() == SettingsFile::State::Readable) {
      const QSettings current(old_file.read_name(), QSettings::IniFormat);
      // Parsing every key is what finds a format error.
      const QStringList old_keys = current.allKeys();
      if (current.status() == QSettings::NoError)
        for (const QString& old_key : old_keys) out.setValue(old_key, current.value(old_key));
    }
    for (const auto& [section_key, value] : keys) {
      out.beginGroup(from_local(section_key.first));
      out.setValue(from_local(section_key.second), from_local(value));
      out.endGroup();
      // Escaped, a byte takes up to three.
      bytes += 3 * static_cast<qint64>(section_key.first.size() + section_key.second.size() +
                                       value.size() + 4);
    }
    out.sync();
    if (out.status() == QSettings::FormatError) failure = status_text(out.status());
    if (out.status() == QSettings::AccessError || !ends_whole(next)) {
      error = write_failure(descriptor, bytes);
      failure = save_failure_reason(error);
    }
  }
  // The new file keeps the old one's permissions, read-only included.
  if (failure == nullptr &&
      (::chmod(next.constData(), old_file.mode()) != 0 ||
       ::rename(next.constData(), QFile::encodeName(file).constData()) != 0)) {
    error = errno;
    failure = save_failure_reason(error);
  }
  if (failure != nullptr) ::unlink(next.constData());
  ::close(descriptor);
  if (failure != nullptr) report_failure(file, failure, save_failure_of(error));
}

void QtSettingsStore::report_failure(const QString& file, const char* reason, SaveFailure why) {
  if (write_failure_reported_) return;
  write_failure_reported_ = true;
  const std::string name = to_local(file);
  const bool kept = why == SaveFailure::NotRegular || why == SaveFailure::Unreadable;
  std::cerr << "wavorin: cannot save settings to " << name << ": " << reason
            << (kept ? ", so it is kept as it is" : "") << std::endl;
  if (on_failure_) on_failure_(name, why);
}

}  // namespace wavorin
