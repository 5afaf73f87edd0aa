#pragma once

#include <QString>

namespace wavorin {

// Messages for when the window is gone: the desktop's notification service
// (org.freedesktop.Notifications on the session bus).
class DesktopNotifier {
 public:
  // Returns false, saying nothing, where there is no bus or no service.
  bool notify(const QString& summary, const QString& body) const;
};

}  // namespace wavorin
