#include "DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void PostDesktopNotification(std::string_view summary, std::string_view body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage notify = QDBusMessage::createMethodCall(
        "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
        "org.freedesktop.Notifications", "Notify");
    const int expireDefault = -1;
    notify << QString("Quillo") << 0u << QString() << ToQString(summary) << ToQString(body)
           << QStringList() << QVariantMap() << expireDefault;
    // Sent without waiting for the answer: a desktop without the service must not stall.
    bus.send(notify);
}
