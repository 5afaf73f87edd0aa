#include "platform/qt/device_outline.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <vector>

namespace wavorin {

bool set_native_shape(QWidget& window, const QRegion& device) {
  if (QGuiApplication::platformName() != QLatin1String("xcb") ||
      !window.testAttribute(Qt::WA_WState_Created)) {
    return false;
  }
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) return false;
  const xcb_query_extension_reply_t* shape = xcb_get_extension_data(connection, &xcb_shape_id);
  if (shape == nullptr || shape->present == 0) return false;

  // An empty list would mean "no shape": an empty outline keeps one pixel
  // outside the window instead, as the widget's mask does.
  std::vector<xcb_rectangle_t> rects;
  for (const QRect& r : device.isEmpty() ? QRegion(-1, -1, 1, 1) : device) {
    rects.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                     static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height())});
  }
  xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                       XCB_CLIP_ORDERING_UNSORTED, static_cast<xcb_window_t>(window.winId()), 0, 0,
                       static_cast<uint32_t>(rects.size()), rects.data());
  xcb_flush(connection);
  return true;
}

}  // namespace wavorin
