#pragma once

#include <QByteArray>

class QUrl;

namespace wavorin {

// File names as the file system holds them: bytes, which need not be valid
// in the locale's encoding (a "café.wav" written in Latin-1 under a UTF-8
// locale). Qt decodes such bytes lossily, so a name that went through a
// QString may no longer open.

// The path of a local file:// address as bytes, or empty for any other
// address (another scheme, or a file on another host).
QByteArray local_file_name(const QUrl& url);

// Whether `path` can name a file at all: the system ends a name at a NUL
// byte, and refuses one longer than PATH_MAX or with a part longer than
// NAME_MAX bytes.
bool can_name_a_file(const QByteArray& path);

}  // namespace wavorin
