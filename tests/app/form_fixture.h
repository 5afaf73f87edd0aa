#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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

  // The frames copied whole onto the window's top since the log was last
  // cleared, in order; -1 for a copy of anything else or to anywhere else.
  std::vector<int> frames_drawn() const {
    std::vector<int> frames;
    for (const auto& call : calls_starting_with("BitBlt")) {
      int row = -1;
      const bool frame =
          std::sscanf(call.c_str(), "BitBlt 8 0,0,225,120 9 0,%d SRCCOPY", &row) == 1 &&
          row % 120 == 0;
      frames.push_back(frame ? row / 120 : -1);
    }
    return frames;
  }
};

}  // namespace wavorin::testing
