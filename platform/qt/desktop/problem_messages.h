#pragma once

#include <QString>

#include "platform/qt/files/settings_file.h"
#include "platform/sound_problem.h"

namespace wavorin {

// What a person reads when something fails: what happened and what to do,
// in their language.
QString sound_problem_text(const SoundReport& report);
QString settings_not_saved_summary();
// Why the settings were not saved to `file`, in a few words.
QString settings_not_saved_text(const QString& file, SaveFailure why);

}  // namespace wavorin
