#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wavorin {

// A stored decimal text as a signed 32-bit integer: blanks around it, an
// optional sign, digits and an optional fraction, rounded half to even.
// Anything else, or a value outside the 32-bit range, gives no value.
std::optional<std::int32_t> text_to_int32(std::string_view text);

// A single-precision value as decimal text: a whole number gives its digits,
// with a leading minus when negative and no blank in front.
std::string single_to_text(float value);

}  // namespace wavorin
