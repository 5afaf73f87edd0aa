#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/sound/pipewire/pipewire_handles.h"

struct pw_core;
struct pw_registry;
struct pw_thread_loop;
struct spa_source;

namespace wavorin::pipewire {

// The program's connection to the PipeWire daemon, with the thread that
// runs its events (a pw_thread_loop) and the context whose data thread runs
// the streams' process callbacks. When the daemon goes away it is reached
// again in the background, every kRetry, until it answers.
//
// The loop's lock guards everything here and in the streams made on it:
// the loop's thread holds it in every callback; another thread takes it
// (Lock) for each call, briefly, and never waits on the daemon under it.
class Connection {
 public:
  // libpipewire's events, defined where its headers are included.
  struct Callbacks;

  // Told on the loop's thread, lock held: false when the daemon went away
  // (every stream on the connection must be destroyed before this returns),
  // true when it answers again.
  using ChangeHandler = std::function<void(bool answers, const std::string& reason)>;

  static constexpr std::chrono::milliseconds kRetry{250};

  // Connects and waits, at most `wait`, for the daemon's first answer and
  // its list of devices. Nothing, with the reason in `refused`, when it
  // does not answer or has no sound device (then PipeWire is not the
  // desktop's sound server).
  static std::unique_ptr<Connection> connect(ChangeHandler on_change,
                                             std::chrono::milliseconds wait, std::string& refused);

  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  // Stops the loop's thread; call without the lock, after every stream is
  // destroyed.
  ~Connection();

  class Lock {
   public:
    explicit Lock(const Connection& connection);
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    ~Lock();

   private:
    pw_thread_loop* loop_;
  };

  // Lock held. The core to make a stream on: the answering one or, while
  // the daemon is away, one dialled now, whose answer comes later (a stream
  // made on it waits for it; if none comes, the change handler is told as
  // for a loss). Nothing when no daemon takes the call.
  pw_core* core_for_stream();
  pw_thread_loop* loop() const { return loop_.get(); }
  const std::string& reason() const { return reason_; }

 private:
  explicit Connection(ChangeHandler on_change);
  // Lock held: a new core, asked for its first answer.
  bool dial();
  void hang_up();
  void go_away(const std::string& reason);

  ChangeHandler on_change_;
  ThreadLoopPtr loop_;
  ContextPtr context_;
  CorePtr core_;
  std::unique_ptr<CoreListener> core_listener_;
  pw_registry* registry_ = nullptr;
  std::unique_ptr<RegistryListener> registry_listener_;
  spa_source* retry_timer_ = nullptr;
  int pending_sync_ = -1;  // the sequence number of the first answer awaited
  bool answers_ = false;
  bool has_sink_ = false;
  bool made_ = false;        // connect() has returned it
  bool told_up_ = false;     // the change handler was told the daemon answers
  bool handed_out_ = false;  // a core not yet answering was given for a stream
  std::string reason_;
};

}  // namespace wavorin::pipewire
