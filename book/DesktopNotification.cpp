#include "DesktopNotification.h"

#include "platform/Errors.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QVariantMap>

void ShowDesktopNotification(const QString& summary, const QString& body)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        throw Exception(QStringLiteral("无法显示桌面通知：没有会话总线（%1）").arg(bus.lastError().message()));
    QDBusInterface service(QStringLiteral("org.freedesktop.Notifications"),
                           QStringLiteral("/org/freedesktop/Notifications"),
                           QStringLiteral("org.freedesktop.Notifications"), bus);
    // A service that reads the body as markup would take a name's "<" or "&" for a tag.
    const QDBusReply<QStringList> capabilities = service.call(QStringLiteral("GetCapabilities"));
    const bool markup = capabilities.isValid() && capabilities.value().contains(QStringLiteral("body-markup"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("tessaly")}};
    const QDBusReply<uint> shown =
        service.call(QStringLiteral("Notify"), QStringLiteral("Tessaly"), uint(0), QStringLiteral("tessaly"), summary,
                     markup ? body.toHtmlEscaped() : body, QStringList(), hints, int(-1));
    if (!shown.isValid())
        throw Exception(QStringLiteral("无法显示桌面通知：%1").arg(shown.error().message()));
}
