#include "platform/sound/pipewire/pipewire_connection.h"

#include <pipewire/pipewire.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/app_identity.h"

namespace wavorin::pipewire {

struct CoreListener {
  spa_hook hook{};
};
struct RegistryListener {
  spa_hook hook{};
};

void ThreadLoopDeleter::operator()(pw_thread_loop* loop) const noexcept {
  pw_thread_loop_destroy(loop);
}
void ContextDeleter::operator()(pw_context* context) const noexcept { pw_context_destroy(context); }
void CoreDeleter::operator()(pw_core* core) const noexcept { pw_core_disconnect(core); }
void StreamDeleter::operator()(pw_stream* stream) const noexcept { pw_stream_destroy(stream); }

namespace {

// libpipewire's global set-up, once per process; never undone, as another
// connection (or a library the program loads) may still use it.
void init_once() {
  static std::once_flag once;
  std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

constexpr std::chrono::milliseconds kAnswer{900};

std::int64_t ns(std::chrono::milliseconds time) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(time).count();
}

}  // namespace

struct Connection::Callbacks {
  static void done(void* data, std::uint32_t id, int seq) {
    auto* self = static_cast<Connection*>(data);
    if (id != PW_ID_CORE || seq != self->pending_sync_) return;
    self->pending_sync_ = -1;
    self->answers_ = true;
    self->handed_out_ = false;
    self->reason_.clear();
    if (self->made_ && self->has_sink_ && !self->told_up_ && self->on_change_) {
      self->told_up_ = true;
      self->on_change_(true, {});
    }
    pw_thread_loop_signal(self->loop_.get(), false);
  }

  static void error(void* data, std::uint32_t id, int /*seq*/, int res, const char* message) {
    auto* self = static_cast<Connection*>(data);
    // Only the core's own broken pipe ends the connection; a refused object
    // is told on that object (a stream's state).
    if (id != PW_ID_CORE || res != -EPIPE) return;
    self->go_away(message != nullptr && *message != '\0' ? message : std::strerror(-res));
  }

  static void global(void* data, std::uint32_t /*id*/, std::uint32_t /*permissions*/,
                     const char* type, std::uint32_t /*version*/, const spa_dict* props) {
    auto* self = static_cast<Connection*>(data);
    if (props == nullptr || std::strcmp(type, PW_TYPE_INTERFACE_Node) != 0) return;
    const char* media_class = spa_dict_lookup(props, PW_KEY_MEDIA_CLASS);
    if (media_class != nullptr && std::strcmp(media_class, "Audio/Sink") == 0) {
      self->has_sink_ = true;
    }
  }

  // The daemon away: a new core every kRetry until one answers; one that
  // takes the connection and stays silent (a stopped daemon) is given
  // kAnswer before the next.
  static void retry(void* data, std::uint64_t /*expirations*/) {
    auto* self = static_cast<Connection*>(data);
    if (self->answers_) return;
    if (self->told_up_ || self->handed_out_) {
      // Streams go before their core.
      self->told_up_ = false;
      self->handed_out_ = false;
      if (self->on_change_) self->on_change_(false, self->reason_);
    }
    self->hang_up();
    const bool dialled = self->dial();
    timespec again{0, ns(dialled ? kAnswer : kRetry)};
    pw_loop_update_timer(pw_thread_loop_get_loop(self->loop_.get()), self->retry_timer_, &again,
                         nullptr, false);
  }
};

namespace {

constexpr pw_core_events kCoreEvents = [] {
  pw_core_events events{};
  events.version = PW_VERSION_CORE_EVENTS;
  events.done = &Connection::Callbacks::done;
  events.error = &Connection::Callbacks::error;
  return events;
}();

constexpr pw_registry_events kRegistryEvents = [] {
  pw_registry_events events{};
  events.version = PW_VERSION_REGISTRY_EVENTS;
  events.global = &Connection::Callbacks::global;
  return events;
}();

}  // namespace

Connection::Lock::Lock(const Connection& connection) : loop_(connection.loop()) {
  pw_thread_loop_lock(loop_);
}
Connection::Lock::~Lock() { pw_thread_loop_unlock(loop_); }

Connection::Connection(ChangeHandler on_change)
    : on_change_(std::move(on_change)),
      core_listener_(std::make_unique<CoreListener>()),
      registry_listener_(std::make_unique<RegistryListener>()) {}

std::unique_ptr<Connection> Connection::connect(ChangeHandler on_change,
                                                std::chrono::milliseconds wait,
                                                std::string& refused) {
  init_once();
  std::unique_ptr<Connection> connection(new Connection(std::move(on_change)));
  connection->loop_.reset(pw_thread_loop_new("wavorin-pipewire", nullptr));
  if (!connection->loop_) {
    refused = std::string("no PipeWire loop: ") + std::strerror(errno);
    return nullptr;
  }
  pw_loop* loop = pw_thread_loop_get_loop(connection->loop_.get());
  // client-rt.conf, as PipeWire's own players take: its module gives the
  // streams' data thread real-time priority (RTKit, or the process's own
  // limit), so a cycle of a few frames is not missed under load.
  connection->context_.reset(
      pw_context_new(loop, pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0));
  if (!connection->context_) {
    refused = std::string("no PipeWire context: ") + std::strerror(errno);
    return nullptr;
  }
  connection->retry_timer_ = pw_loop_add_timer(loop, &Callbacks::retry, connection.get());
  if (pw_thread_loop_start(connection->loop_.get()) < 0) {
    refused = "the PipeWire loop's thread did not start";
    return nullptr;
  }
  Lock lock(*connection);
  if (!connection->dial()) {
    refused = connection->reason_;
    return nullptr;
  }
  timespec deadline{};
  pw_thread_loop_get_time(connection->loop_.get(), &deadline, ns(wait));
  while (connection->pending_sync_ != -1) {
    if (pw_thread_loop_timed_wait_full(connection->loop_.get(), &deadline) != 0) break;
  }
  if (!connection->answers_) {
    refused = connection->reason_.empty() ? "PipeWire does not answer" : connection->reason_;
    return nullptr;
  }
  if (!connection->has_sink_) {
    refused = "PipeWire has no sound device (the desktop's sound server is another)";
    return nullptr;
  }
  // The maker's answer is the first one; later ones are told.
  connection->made_ = true;
  connection->told_up_ = true;
  return connection;
}

Connection::~Connection() {
  if (loop_) pw_thread_loop_stop(loop_.get());
  // The loop's thread is gone: nothing runs beside this any more.
  hang_up();
  if (retry_timer_ != nullptr) {
    pw_loop_destroy_source(pw_thread_loop_get_loop(loop_.get()), retry_timer_);
  }
  context_.reset();
  loop_.reset();
}

pw_core* Connection::core_for_stream() {
  if (answers_ || (core_ && pending_sync_ != -1)) {
    handed_out_ = !answers_;
    return core_.get();
  }
  // Away, and not being dialled: dial now rather than at the next retry, so
  // a request just after the daemon came back finds it.
  hang_up();
  if (!dial()) return nullptr;
  handed_out_ = true;
  timespec answer{0, ns(kAnswer)};
  pw_loop_update_timer(pw_thread_loop_get_loop(loop_.get()), retry_timer_, &answer, nullptr, false);
  return core_.get();
}

bool Connection::dial() {
  pw_properties* properties =
      pw_properties_new(PW_KEY_APP_NAME, kApplicationName, PW_KEY_APP_ID, kApplicationId,
                        PW_KEY_APP_ICON_NAME, kApplicationId, nullptr);
  core_.reset(pw_context_connect(context_.get(), properties, 0));
  if (!core_) {
    reason_ = std::string("PipeWire does not answer: ") + std::strerror(errno);
    return false;
  }
  pw_core_add_listener(core_.get(), &core_listener_->hook, &kCoreEvents, this);
  registry_ = pw_core_get_registry(core_.get(), PW_VERSION_REGISTRY, 0);
  if (registry_ != nullptr) {
    pw_registry_add_listener(registry_, &registry_listener_->hook, &kRegistryEvents, this);
  }
  // Answered after the daemon has listed its objects to the registry.
  pending_sync_ = pw_core_sync(core_.get(), PW_ID_CORE, 0);
  return true;
}

void Connection::hang_up() {
  if (!core_) return;
  spa_hook_remove(&core_listener_->hook);
  if (registry_ != nullptr) {
    spa_hook_remove(&registry_listener_->hook);
    pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry_));
    registry_ = nullptr;
  }
  core_.reset();
  pending_sync_ = -1;
}

void Connection::go_away(const std::string& reason) {
  answers_ = false;
  reason_ = reason;
  // Not from within the core's own event: the timer tells, hangs up and dials.
  timespec soon{0, 1};
  pw_loop_update_timer(pw_thread_loop_get_loop(loop_.get()), retry_timer_, &soon, nullptr, false);
}

}  // namespace wavorin::pipewire
