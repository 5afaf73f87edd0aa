#pragma once

#include <string>

namespace wavorin {

// Texts kept between runs, addressed by application, section and key.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The stored text, or `default_value` when the key is absent.
  virtual std::string GetSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& default_value) = 0;
  // Stores the text, creating section and key as needed.
  virtual void SaveSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

}  // namespace wavorin
