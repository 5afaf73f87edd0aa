#include "platform/qt/window/compositor_watch.h"

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <QAbstractEventDispatcher>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/qt/startup/qpa_choice.h"

namespace wavorin {

namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

// The screen number of DISPLAY ("host:display.screen"), as xcb_connect takes it.
int display_screen() {
  const QByteArray display = qgetenv("DISPLAY");
  const qsizetype colon = display.lastIndexOf(':');
  const qsizetype dot = display.indexOf('.', colon + 1);
  if (colon < 0 || dot < 0) return 0;
  bool ok = false;
  const int screen = display.mid(dot + 1).toInt(&ok);
  return ok && screen >= 0 ? screen : 0;
}

xcb_window_t root_of_screen(xcb_connection_t* connection, int number) {
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i)
    if (i == number) return it.data->root;
  return XCB_NONE;
}

}  // namespace

CompositorWatch::CompositorWatch() {
  if (on_wayland()) {
    active_ = true;
    return;
  }
  auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) return;
  const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
  const int screen = display_screen();
  const xcb_window_t root = root_of_screen(connection, screen);
  const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
  ReplyPtr<xcb_intern_atom_reply_t> atom(
      xcb_intern_atom_reply(
          connection,
          xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
          nullptr),
      &std::free);
  if (atom == nullptr || root == XCB_NONE) return;
  selection_ = atom->atom;
  // XWayland announces an extension of its own name, and names its outputs
  // after itself unless the compositor names them.
  static constexpr char kXwayland[] = "XWAYLAND";
  ReplyPtr<xcb_query_extension_reply_t> xwayland(
      xcb_query_extension_reply(
          connection, xcb_query_extension(connection, sizeof kXwayland - 1, kXwayland), nullptr),
      &std::free);
  const QScreen* primary = QGuiApplication::primaryScreen();
  on_xwayland_ = (xwayland != nullptr && xwayland->present != 0) ||
                 (primary != nullptr && primary->name().startsWith(QLatin1String(kXwayland)));

  // Told first, asked second: an owner that comes in between is not missed.
  if (xfixes != nullptr && xfixes->present != 0) {
    ReplyPtr<xcb_xfixes_query_version_reply_t> version(
        xcb_xfixes_query_version_reply(connection, xcb_xfixes_query_version(connection, 1, 0),
                                       nullptr),
        &std::free);
    if (version != nullptr) {
      selection_notify_ =
          static_cast<std::uint8_t>(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
      xcb_xfixes_select_selection_input(
          connection, root, selection_,
          XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
      QCoreApplication::eventDispatcher()->installNativeEventFilter(this);
    }
  }
  ReplyPtr<xcb_get_selection_owner_reply_t> owner(
      xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection_),
                                    nullptr),
      &std::free);
  active_ = owner != nullptr && owner->owner != XCB_NONE;
}

CompositorWatch::~CompositorWatch() {
  if (auto* dispatcher = QCoreApplication::eventDispatcher())
    dispatcher->removeNativeEventFilter(this);
}

// Runs on the event thread, for every event of the X connection.
bool CompositorWatch::nativeEventFilter(const QByteArray& type, void* message,
                                        qintptr* /*result*/) {
  if (selection_notify_ == 0 || type != QByteArrayLiteral("xcb_generic_event_t")) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != selection_notify_) return false;
  const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
  if (notify->selection != selection_) return false;
  const bool active = notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER &&
                      notify->owner != XCB_NONE;
  if (active != active_) {
    active_ = active;
    emit changed(active_);
  }
  return false;  // the toolkit follows the same selection for its own ends
}

}  // namespace wavorin
