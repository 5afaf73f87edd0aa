#include "platform/qt/qt_settings_store.h"

#include <QSettings>
#include <QStringList>
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

}  // namespace

std::string QtSettingsStore::GetSetting(const std::string& app, const std::string& section,
                                        const std::string& key, const std::string& default_value) {
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
  QSettings settings(QSettings::IniFormat, QSettings::UserScope, from_local(app), from_local(app));
  settings.beginGroup(from_local(section));
  settings.setValue(from_local(key), from_local(value));
  settings.endGroup();
  settings.sync();
  if (settings.status() == QSettings::NoError || write_failure_reported_) return;
  write_failure_reported_ = true;
  std::cerr << app << ": cannot save settings to " << to_local(settings.fileName()) << ": "
            << status_text(settings.status()) << std::endl;
  if (on_failure_) on_failure_(to_local(settings.fileName()), status_text(settings.status()));
}

}  // namespace wavorin
