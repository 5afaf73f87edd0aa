#pragma once

#include <QString>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "platform/qt/files/settings_file.h"
#include "platform/settings_store.h"

namespace wavorin {

// Settings in the user's INI file $XDG_CONFIG_HOME/<app>/<app>.ini, one group
// per section. Saves are kept in memory until commit(), which replaces each
// file whole in one rename, so a program killed while it saves leaves the old
// file or the new one, never a mix of the two; what such a save leaves beside
// the file is removed by the next store that reads or writes it. A file that
// is there but cannot be read is never replaced. A store that cannot be
// written is reported once on stderr and otherwise ignored.
class QtSettingsStore : public SettingsStore {
 public:
  // Told once, with the file and why, when a save first fails.
  using FailureListener = std::function<void(const std::string& file, SaveFailure why)>;
  void set_failure_listener(FailureListener listener) { on_failure_ = std::move(listener); }

  QtSettingsStore() = default;
  // Commits what is still kept.
  ~QtSettingsStore() override;
  QtSettingsStore(const QtSettingsStore&) = delete;
  QtSettingsStore& operator=(const QtSettingsStore&) = delete;

  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& default_value) override;
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;

  // Writes every kept save to its file. Safe to call with nothing kept.
  void commit();

 private:
  using Keys = std::map<std::pair<std::string, std::string>, std::string>;  // (section, key)
  void commit_app(const std::string& app, const Keys& keys);
  void report_failure(const QString& file, const char* reason, SaveFailure why);

  std::map<std::string, Keys> pending_;  // by application
  std::set<std::string> cleaned_;        // applications whose leftovers were looked for
  bool write_failure_reported_ = false;
  FailureListener on_failure_;
};

}  // namespace wavorin
