#pragma once

#include <QString>

namespace thermo4::link {

/// Who holds a device's lock, as its lock file says.
struct LockHolder {
    QString program;
    long long pid = 0;
};

/// One program per meter: an advisory lock (flock) on one file per device,
/// held for as long as the program is connected to the meter. The file holds
/// the holder's pid and program name, so a refused program can say who has the
/// meter. The kernel drops the lock with the process, so a crashed holder
/// leaves nothing in the way. Files live in $XDG_RUNTIME_DIR/thermo4, or in
/// /run/lock/thermo4 or /tmp/thermo4 when that is unset or not writable.
class DeviceLock {
public:
    DeviceLock() = default;
    ~DeviceLock();
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

    /// The folder of the lock files (created when missing); empty when none is writable.
    static QString directory();
    /// The lock file of device (its canonical path when it exists, so links to it share the file).
    static QString fileFor(const QString& device);
    /// "the meter on DEVICE is in use by PROGRAM (pid N)".
    static QString inUseMessage(const QString& device, const LockHolder& holder);

    /// Takes the lock on device, giving up one held on another device first;
    /// true at once when this object holds it already. False when another
    /// program holds it (refusal() says who) or no lock file can be made
    /// (refusal() says why).
    bool acquire(const QString& device);
    /// Gives the lock up; nothing when none is held.
    void release();
    bool held() const { return m_fd >= 0; }
    /// The device whose lock is held; empty when none is.
    QString device() const { return held() ? m_device : QString(); }
    /// Why the last acquire failed.
    QString refusal() const { return m_refusal; }

private:
    int m_fd = -1;
    QString m_device;
    QString m_file;
    QString m_refusal;
};

} // namespace thermo4::link
