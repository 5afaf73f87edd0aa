#pragma once

#include <cstdint>
#include <memory>

struct pw_context;
struct pw_core;
struct pw_stream;
struct pw_thread_loop;

namespace wavorin::pipewire {

// One owner per libpipewire handle. Each is destroyed with the loop's lock
// held, or before its loop's thread starts or after it stopped.
struct ThreadLoopDeleter {
  void operator()(pw_thread_loop* loop) const noexcept;
};
struct ContextDeleter {
  void operator()(pw_context* context) const noexcept;
};
struct CoreDeleter {
  void operator()(pw_core* core) const noexcept;
};
struct StreamDeleter {
  void operator()(pw_stream* stream) const noexcept;
};
using ThreadLoopPtr = std::unique_ptr<pw_thread_loop, ThreadLoopDeleter>;
using ContextPtr = std::unique_ptr<pw_context, ContextDeleter>;
using CorePtr = std::unique_ptr<pw_core, CoreDeleter>;
using StreamPtr = std::unique_ptr<pw_stream, StreamDeleter>;

// A listener's hook (spa_hook), kept at a fixed address for as long as the
// object it listens to; defined where libpipewire's headers are included.
struct CoreListener;
struct RegistryListener;
struct StreamListener;

}  // namespace wavorin::pipewire
