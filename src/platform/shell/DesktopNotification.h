#pragma once

#include <string_view>

// Posts a notification to the desktop's notification service (freedesktop Notifications on
// the session bus), so that something happening in a window on another workspace is not
// missed. Never waits; with no session bus or no service nothing is posted.
void PostDesktopNotification(std::string_view summary, std::string_view body);
