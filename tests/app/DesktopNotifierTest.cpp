#include "app/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QStringList>
#include <QVariantMap>

#include <gtest/gtest.h>

// A notification service of our own on the session bus: what the desktop would show.
class NotificationListener : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    using QObject::QObject;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout) {
        Q_UNUSED(replacesId);
        Q_UNUSED(appIcon);
        Q_UNUSED(actions);
        Q_UNUSED(hints);
        emit received(appName, summary, body, expireTimeout);
        return 1;
    }

signals:
    void received(const QString& appName, const QString& summary, const QString& body, int expireTimeout);
};

namespace thermo4::ui::test {
namespace {

TEST(DesktopNotifier, ANotificationReachesTheServiceOnThePrivateSessionBus) {
    // Run under dbus-run-session by ctest (THERMO4_PRIVATE_BUS=1); never against a desktop's own service.
    const bool required = qEnvironmentVariableIsSet("THERMO4_PRIVATE_BUS");
    QDBusConnection listenerBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "listener");
    if (!listenerBus.isConnected() || !required) {
        ASSERT_FALSE(required) << "no session bus";
        GTEST_SKIP() << "runs under dbus-run-session (ctest DesktopNotifier.PrivateSessionBus)";
    }
    NotificationListener listener;
    ASSERT_TRUE(listenerBus.registerService(QLatin1String(DesktopNotifier::kService)));
    ASSERT_TRUE(listenerBus.registerObject(QLatin1String(DesktopNotifier::kPath), &listener,
                                           QDBusConnection::ExportAllSlots));
    QSignalSpy spy(&listener, &NotificationListener::received);

    DesktopNotifier notifier;
    ASSERT_TRUE(notifier.available());
    ASSERT_TRUE(notifier.notify(QStringLiteral("thermo4 alarm: T1 > 300.0"),
                                QStringLiteral("T1 > 300.0 (301.2) at 09:00:00")));
    const QDeadlineTimer deadline(30000);
    while (spy.isEmpty() && !deadline.hasExpired()) {
        spy.wait(int(deadline.remainingTime()));
    }
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("thermo4"));
    EXPECT_EQ(spy.at(0).at(1).toString(), QStringLiteral("thermo4 alarm: T1 > 300.0"));
    EXPECT_EQ(spy.at(0).at(2).toString(), QStringLiteral("T1 > 300.0 (301.2) at 09:00:00"));
    EXPECT_EQ(spy.at(0).at(3).toInt(), DesktopNotifier::kTimeoutMs);
    listenerBus.unregisterService(QLatin1String(DesktopNotifier::kService));
    QDBusConnection::disconnectFromBus("listener");
}

} // namespace
} // namespace thermo4::ui::test

#include "DesktopNotifierTest.moc"
