#pragma once

#include <string>
#include <vector>

#include "platform/sound_problem.h"

namespace wavorin {

// The problems the sound rules have met and not yet told, each outage told
// once: a device problem is kept until its outage ends or a request hands
// it out, and an outage that ends first takes its report back with it, so
// nothing false follows a reconnection.
class ReportBook {
 public:
  // A file that cannot be played, or was cut short while it played.
  void file_problem(SoundReport report);
  // No device answers (`had_sound`: one stopped under a playing sound).
  void outage(bool had_sound, const std::string& reason);
  // The device answers again.
  void outage_over();
  bool in_outage() const { return in_outage_; }
  // What is to be told now; the book keeps nothing of it.
  std::vector<SoundReport> take();

 private:
  std::vector<SoundReport> pending_;
  bool in_outage_ = false;
};

}  // namespace wavorin
