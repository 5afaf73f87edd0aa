#include "platform/qt/local_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <memory>

namespace wavorin {

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

bool exists(const QByteArray& name) {
  struct stat info {};
  return ::lstat(name.constData(), &info) == 0;
}

}  // namespace

QByteArray local_file_name(const QUrl& url) {
  if (!url.isValid() || !url.isLocalFile()) return {};
  const QString host = url.host();
  if (!host.isEmpty() && host != QLatin1String("localhost")) return {};
  // Fully encoded, the path keeps every byte that is not valid UTF-8 as
  // %XX; decoding the percent signs gives the bytes back.
  const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  return path.startsWith('/') ? path : QByteArray();
}

QByteArray file_system_name(const QString& path) {
  const QByteArray encoded = QFile::encodeName(path);
  if (encoded.isEmpty() || exists(encoded)) return encoded;
  const QFileInfo info(path);
  if (info.path() == path) return encoded;
  QByteArray folder = file_system_name(info.path());
  const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.constData()));
  if (!dir) return encoded;
  if (!folder.endsWith('/')) folder += '/';
  while (const dirent* entry = ::readdir(dir.get())) {
    if (QFile::decodeName(entry->d_name) == info.fileName()) return folder + entry->d_name;
  }
  return encoded;
}

}  // namespace wavorin
