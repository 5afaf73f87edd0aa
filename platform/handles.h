#pragma once

#include <cstdint>

namespace wavorin {

// Window, drawing-surface and region handles are opaque 32-bit values; 0 is
// never a valid handle.
using Handle = std::uint32_t;

}  // namespace wavorin
