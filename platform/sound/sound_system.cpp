#include "platform/sound/sound_system.h"

#include "platform/sound/output_choice.h"
#include "platform/sound/rules/rule_clock.h"
#include "platform/sound/rules/sound_rules.h"

namespace wavorin {
namespace {

// The rules with the clock they keep time by, made and ended together.
class SystemSound : private SteadyRuleClock, public SoundRules {
 public:
  SystemSound() : SoundRules(&choose_output, *static_cast<SteadyRuleClock*>(this)) {}
};

}  // namespace

std::unique_ptr<SoundService> start_sound_system() { return std::make_unique<SystemSound>(); }

}  // namespace wavorin
