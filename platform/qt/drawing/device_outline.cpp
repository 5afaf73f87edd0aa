#include "platform/qt/drawing/device_outline.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/drawing/region_shape.h"

namespace wavorin {

namespace {

xcb_connection_t* shape_connection(const QWidget& window) {
  if (QGuiApplication::platformName() != QLatin1String("xcb") ||
      !window.testAttribute(Qt::WA_WState_Created)) {
    return nullptr;
  }
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) return nullptr;
  const xcb_query_extension_reply_t* shape = xcb_get_extension_data(connection, &xcb_shape_id);
  return shape != nullptr && shape->present != 0 ? connection : nullptr;
}

void set_shape(xcb_connection_t* connection, xcb_window_t window, xcb_shape_kind_t kind,
               const QRegion& region) {
  std::vector<xcb_rectangle_t> rects;
  for (const QRect& r : as_window_shape(region)) {
    rects.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                     static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height())});
  }
  xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, kind, XCB_CLIP_ORDERING_UNSORTED, window, 0, 0,
                       static_cast<uint32_t>(rects.size()), rects.data());
}

using AtomPtr = std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)>;

AtomPtr intern(xcb_connection_t* connection, const std::string& name) {
  return {xcb_intern_atom_reply(
              connection,
              xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
              nullptr),
          &std::free};
}

}  // namespace

bool set_native_shape(QWidget& window, const std::optional<QRegion>& bounding,
                      const QRegion& input) {
  xcb_connection_t* connection = shape_connection(window);
  if (connection == nullptr) return false;
  const auto id = static_cast<xcb_window_t>(window.winId());
  if (bounding) {
    set_shape(connection, id, XCB_SHAPE_SK_BOUNDING, *bounding);
  } else {
    xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_NONE);
  }
  set_shape(connection, id, XCB_SHAPE_SK_INPUT, input);
  xcb_flush(connection);
  return true;
}

void clear_native_shape(QWidget& window) {
  xcb_connection_t* connection = shape_connection(window);
  if (connection == nullptr) return;
  const auto id = static_cast<xcb_window_t>(window.winId());
  xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_NONE);
  xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, id, 0, 0, XCB_NONE);
  xcb_flush(connection);
}

void set_draws_own_edge(QWidget& window, bool own_edge, int margin) {
  xcb_connection_t* connection = shape_connection(window);
  if (connection == nullptr) return;
  const AtomPtr atom = intern(connection, "_GTK_FRAME_EXTENTS");
  if (atom == nullptr) return;
  const auto id = static_cast<xcb_window_t>(window.winId());
  if (own_edge) {
    const auto m = static_cast<std::uint32_t>(std::max(margin, 0));
    const std::array<std::uint32_t, 4> extents{m, m, m, m};  // left, right, top, bottom
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom->atom, XCB_ATOM_CARDINAL, 32,
                        static_cast<std::uint32_t>(extents.size()), extents.data());
  } else {
    xcb_delete_property(connection, id, atom->atom);
  }
  xcb_flush(connection);
}

void announce_opaque(QWidget& window) {
  xcb_connection_t* connection = shape_connection(window);
  if (connection == nullptr) return;
  const AtomPtr atom = intern(connection, "_NET_WM_WINDOW_OPACITY");
  if (atom == nullptr) return;
  const std::uint32_t opaque = 0xffffffff;
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()),
                      atom->atom, XCB_ATOM_CARDINAL, 32, 1, &opaque);
  xcb_flush(connection);
}

bool frame_properties_watched(QWidget& window) {
  xcb_connection_t* connection = shape_connection(window);
  if (connection == nullptr) return false;
  auto outer = static_cast<xcb_window_t>(window.winId());
  // Up the tree to the child of the root, a few levels at most.
  for (int level = 0; level < 8; ++level) {
    const std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, outer), nullptr), &std::free);
    if (tree == nullptr) return false;
    if (tree->parent == tree->root || tree->parent == XCB_NONE) break;
    outer = tree->parent;
  }
  const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
      xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, outer),
                                      nullptr),
      &std::free);
  return attributes != nullptr &&
         (attributes->all_event_masks & XCB_EVENT_MASK_PROPERTY_CHANGE) != 0;
}

}  // namespace wavorin
