#include "platform/qt/qt_settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>
#include <cstdio>
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

QString settings_file(const std::string& app) {
  const QString name = from_local(app);
  return QSettings(QSettings::IniFormat, QSettings::UserScope, name, name).fileName();
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
  QSettings settings(QSettings::IniFormat, QSettings::UserScope, from_local(app), from_local(app));
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
// (binary garbage) carries nothing and is simply replaced.
void QtSettingsStore::commit_app(const std::string& app, const Keys& keys) {
  const QString file = settings_file(app);
  const QSettings current(file, QSettings::IniFormat);
  const QStringList old_keys = current.allKeys();
  const bool readable = current.status() == QSettings::NoError;

  QDir().mkpath(QFileInfo(file).absolutePath());
  QTemporaryFile next(file + QStringLiteral(".XXXXXX"));
  if (!next.open()) return report_failure(app, to_local(file), "access denied");
  next.close();
  {
    QSettings out(next.fileName(), QSettings::IniFormat);
    if (readable)
      for (const QString& old_key : old_keys) out.setValue(old_key, current.value(old_key));
    for (const auto& [section_key, value] : keys) {
      out.beginGroup(from_local(section_key.first));
      out.setValue(from_local(section_key.second), from_local(value));
      out.endGroup();
    }
    out.sync();
    if (out.status() != QSettings::NoError)
      return report_failure(app, to_local(file), status_text(out.status()));
  }
  if (std::rename(QFile::encodeName(next.fileName()).constData(),
                  QFile::encodeName(file).constData()) != 0)
    return report_failure(app, to_local(file), "access denied");
  next.setAutoRemove(false);
}

void QtSettingsStore::report_failure(const std::string& app, const std::string& file,
                                     const char* reason) {
  if (write_failure_reported_) return;
  write_failure_reported_ = true;
  std::cerr << app << ": cannot save settings to " << file << ": " << reason << std::endl;
  if (on_failure_) on_failure_(file, reason);
}

}  // namespace wavorin
