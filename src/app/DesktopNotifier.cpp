#include "app/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace thermo4::ui {

DesktopNotifier::DesktopNotifier(QObject* parent) : QObject(parent) {}

bool DesktopNotifier::available() const {
    return QDBusConnection::sessionBus().isConnected();
}

bool DesktopNotifier::notify(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kService), QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout
    call << QStringLiteral("thermo4") << 0u << QStringLiteral("dialog-warning") << summary << body
         << QStringList() << QVariantMap() << kTimeoutMs;
    // Without a notification service the bus answers with an error nobody waits for.
    return bus.send(call);
}

} // namespace thermo4::ui
