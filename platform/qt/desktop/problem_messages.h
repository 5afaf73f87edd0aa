#pragma once

#include <QString>

#include "platform/sound_problem.h"

namespace wavorin {

// What a person reads when something fails: what happened and what to do,
// in their language.
QString sound_problem_text(const SoundReport& report);
QString settings_not_saved_summary();
QString settings_not_saved_text(const QString& file);
// When the settings file is there but cannot be read, and so is not replaced.
QString settings_kept_text(const QString& file);

}  // namespace wavorin
