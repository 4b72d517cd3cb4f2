#pragma once

#include <QObject>
#include <QString>

namespace thermo4::ui {

/// Desktop notifications through the freedesktop notification service on the session
/// bus. The call is sent without waiting for its answer, so the poll never waits for the
/// desktop; without a session bus nothing is sent (the status bar still says it).
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QObject* parent = nullptr);

    /// Whether a session bus is there to take notifications.
    bool available() const;
    /// Shows summary with body; false when there is no session bus.
    bool notify(const QString& summary, const QString& body);

    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    /// How long a notification stays, ms.
    static constexpr int kTimeoutMs = 10000;
};

} // namespace thermo4::ui
