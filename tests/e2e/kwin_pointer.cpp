// Moves and presses kwin_wayland's own pointer, as a person's mouse would,
// through kwin's fake input interface. Under XWayland this is the only way
// to test where a click lands: XTEST input never leaves the X server, so it
// skips the compositor's choice of the window under the pointer.
//
// Usage: kwin_pointer COMMAND...  with COMMAND one of
//   move X Y   the pointer to screen pixel (X, Y)
//   down / up  the left button
// kwin must run with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 (a private test
// session) to offer the interface to a client without a desktop file.
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

// The interface's requests in the compositor's order; only those used here
// need their real signatures, the rest keep the opcodes right.
const wl_interface* no_types[3] = {nullptr, nullptr, nullptr};  // wl_message wants it mutable
const wl_message kRequests[] = {
    {"authenticate", "ss", no_types}, {"pointer_motion", "ff", no_types},
    {"button", "uu", no_types},       {"axis", "uf", no_types},
    {"touch_down", "2uff", no_types}, {"touch_motion", "2uff", no_types},
    {"touch_up", "2u", no_types},     {"touch_cancel", "2", no_types},
    {"touch_frame", "2", no_types},   {"pointer_motion_absolute", "3ff", no_types},
};
const wl_interface kFakeInput = {"org_kde_kwin_fake_input", 3, 10, kRequests, 0, nullptr};
constexpr std::uint32_t kAuthenticate = 0;
constexpr std::uint32_t kButton = 2;
constexpr std::uint32_t kMoveTo = 9;
constexpr std::uint32_t kLeftButton = 0x110;  // BTN_LEFT

wl_proxy* fake_input = nullptr;

void global(void* /*data*/, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t version) {
  if (std::strcmp(interface, kFakeInput.name) == 0 && version >= 3)
    fake_input = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kFakeInput, 3));
}
void global_remove(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}
const wl_registry_listener kListener = {global, global_remove};

void send(wl_display* display, std::uint32_t opcode, auto... args) {
  wl_proxy_marshal_flags(fake_input, opcode, nullptr, 3, 0, args...);
  wl_display_roundtrip(display);
  // XWayland hears of it through the pointer's own events, a moment later.
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
}

}  // namespace

int main(int argc, char** argv) {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    std::fputs("kwin_pointer: no Wayland display\n", stderr);
    return 1;
  }
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kListener, nullptr);
  wl_display_roundtrip(display);
  if (fake_input == nullptr) {
    std::fputs("kwin_pointer: the compositor offers no fake input\n", stderr);
    return 1;
  }
  send(display, kAuthenticate, "wavorin-e2e", "end-to-end tests");
  for (int i = 1; i < argc; ++i) {
    const std::string command = argv[i];
    if (command == "move" && i + 2 < argc) {
      send(display, kMoveTo, wl_fixed_from_int(std::atoi(argv[i + 1])),
           wl_fixed_from_int(std::atoi(argv[i + 2])));
      i += 2;
    } else if (command == "down" || command == "up") {
      send(display, kButton, kLeftButton, command == "down" ? 1U : 0U);
    } else {
      std::fprintf(stderr, "kwin_pointer: unknown command %s\n", argv[i]);
      return 2;
    }
  }
  wl_display_disconnect(display);
  return 0;
}
