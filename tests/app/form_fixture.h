#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/form1.h"
#include "tests/app/fakes.h"

namespace wavorin::testing {

class FormTest : public ::testing::Test {
 protected:
  CallLog log;
  FakeWindowHost host{log};
  FakeSoundOut sound{log};
  FakeSettings settings;
  FakeDialog dialog{log};
  Form1 form{host, sound, settings, dialog};

  FormTest() { settings.log = &log; }

  void load() {
    form.Form_Load();
    log.clear();
  }

  void store(const std::string& key, const std::string& value) {
    settings.values["Wavorin/Option/" + key] = value;
  }
  std::string stored(const std::string& key) const {
    const auto it = settings.values.find("Wavorin/Option/" + key);
    return it == settings.values.end() ? "<absent>" : it->second;
  }

  std::vector<std::string> calls_starting_with(const std::string& prefix) const {
    std::vector<std::string> out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out),
                 [&](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    return out;
  }

  // The source rows of every frame drawn since the log was last cleared.
  std::vector<int> frames_drawn() const {
    std::vector<int> frames;
    for (const auto& call : calls_starting_with("BitBlt")) {
      const auto comma = call.rfind(',');
      const auto space = call.rfind(' ', comma);
      frames.push_back(std::stoi(call.substr(space + 3, comma - space - 3)) / 120);
    }
    return frames;
  }
};

}  // namespace wavorin::testing
