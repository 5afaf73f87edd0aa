#include "platform/sound/rules/report_book.h"

#include <cstdio>
#include <utility>

namespace wavorin {
namespace {

bool of_device(const SoundReport& report) {
  return report.problem == SoundProblem::NoDevice || report.problem == SoundProblem::DeviceFailed;
}

}  // namespace

void ReportBook::file_problem(SoundReport report) {
  if (report.problem == SoundProblem::FileCutShort) {
    std::fprintf(stderr, "wavorin: '%s' could not be read to its end\n", report.name.c_str());
  } else {
    std::fprintf(stderr, "wavorin: cannot play '%s': %s\n", report.name.c_str(),
                 report.reason.c_str());
  }
  pending_.push_back(std::move(report));
}

void ReportBook::outage(bool had_sound, const std::string& reason) {
  if (in_outage_) return;
  in_outage_ = true;
  if (had_sound) {
    std::fprintf(stderr, "wavorin: the sound device stopped while a sound played (%s)\n",
                 reason.c_str());
  } else {
    std::fprintf(stderr, "wavorin: sounds are silent: %s\n", reason.c_str());
  }
  pending_.push_back(
      SoundReport{had_sound ? SoundProblem::DeviceFailed : SoundProblem::NoDevice, "", 0, reason});
}

void ReportBook::outage_over() {
  if (!in_outage_) return;
  in_outage_ = false;
  std::erase_if(pending_, of_device);
}

std::vector<SoundReport> ReportBook::take() { return std::exchange(pending_, {}); }

}  // namespace wavorin
