#include "platform/qt/files/local_names.h"

#include <QUrl>

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

}  // namespace wavorin
