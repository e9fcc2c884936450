#pragma once
// One notification on the desktop, through the notification service every
// desktop runs (org.freedesktop.Notifications on the session bus).

#include <QString>

// Raises Exception, in Chinese, when there is no session bus or no service
// answers; the reason the bus gives is part of the message.
void ShowDesktopNotification(const QString& summary, const QString& body);
