#include "platform/qt/files/local_names.h"

#include <QUrl>
#include <climits>

namespace wavorin {

QByteArray local_file_name(const QUrl& url) {
  if (!url.isValid() || !url.isLocalFile()) return {};
  const QString host = url.host();
  if (!host.isEmpty() && host != QLatin1String("localhost")) return {};
  // Fully encoded, the path keeps every byte that is not valid UTF-8 as
  // %XX; decoding the percent signs gives the bytes back.
  const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  return path.startsWith('/') ? path : QByteArray();
}

bool can_name_a_file(const QByteArray& path) {
  if (path.isEmpty() || path.size() >= PATH_MAX || path.contains('\0')) return false;
  for (const QByteArray& part : path.split('/'))
    if (part.size() > NAME_MAX) return false;
  return true;
}

}  // namespace wavorin
