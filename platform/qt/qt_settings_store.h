#pragma once

#include <functional>
#include <string>

#include "platform/settings_store.h"

namespace wavorin {

// Settings in the user's INI file $XDG_CONFIG_HOME/<app>/<app>.ini, one group
// per section. Each save is written atomically and at once; a store that
// cannot be written is reported once on stderr and otherwise ignored.
class QtSettingsStore : public SettingsStore {
 public:
  // Told once, with the file and the reason, when a save first fails.
  using FailureListener = std::function<void(const std::string& file, const std::string& reason)>;
  void set_failure_listener(FailureListener listener) { on_failure_ = std::move(listener); }

  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& default_value) override;
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;

 private:
  bool write_failure_reported_ = false;
  FailureListener on_failure_;
};

}  // namespace wavorin
