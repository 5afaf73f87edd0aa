#include "platform/sound/sound_system.h"

#include "platform/sound/output_choice.h"
#include "platform/sound/rules/rule_clock.h"
#include "platform/sound/rules/sound_rules.h"

namespace wavorin {

std::unique_ptr<SoundService> start_sound_system() {
  // The machine's clock holds no state, so one serves every sound system.
  // It is whole before any rules start keeping time by it on their thread.
  static SteadyRuleClock clock;
  return std::make_unique<SoundRules>(&choose_output, clock);
}

}  // namespace wavorin
