#include "link/QtSerialPort.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

#include <unistd.h>

namespace thermo4::link {

namespace {

QString openFailure(const QString& device, QSerialPort::SerialPortError error, const QString& reason) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("%1: no such device").arg(device);
    case QSerialPort::PermissionError:
        // Qt reports a device that another program holds (its lock file, or an exclusive
        // open) as a permission error too; only the device's own rights say which it is.
        if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0)
            return QStringLiteral("%1 is in use by another program").arg(device);
        return QStringLiteral("%1 cannot be opened: %2. This user may not open serial devices (add the user "
                              "to the dialout group: sudo usermod -aG dialout $USER, then log in again).")
            .arg(device, reason);
    default:
        return QStringLiteral("%1 cannot be opened: %2").arg(device, reason);
    }
}

/// Runs a local event loop for at most timeoutMs; a signal connected to the
/// loop's quit ends it earlier.
void runKeepingAlive(QEventLoop& loop, int timeoutMs) {
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(std::max(timeoutMs, 0));
    loop.exec();
}

} // namespace

QtSerialPort::QtSerialPort() = default;

QtSerialPort::~QtSerialPort() {
    close();
}

bool QtSerialPort::open(const QString& device) {
    close();
    m_device = device;
    m_error.clear();
    m_lost = false;
    // Our own programs are told who holds the meter; the port's lock below refuses any other.
    if (!m_lock.acquire(device)) {
        m_error = m_lock.refusal();
        return false;
    }
    // A new object per open: nothing of an earlier device (error state, buffers) carries over.
    m_port = std::make_unique<QSerialPort>();
    m_firstError = QSerialPort::NoError;
    QSerialPort& port = *m_port;
    QObject::connect(&port, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError e) {
        // A wait that ended without new bytes, and the modem-line requests a
        // pseudo-terminal refuses, are not failures.
        if (e == QSerialPort::NoError || e == QSerialPort::TimeoutError ||
            e == QSerialPort::UnsupportedOperationError) {
            return;
        }
        if (m_firstError == QSerialPort::NoError) {
            m_firstError = e;
        }
        // A device that went away fails its reads and writes (a hung-up
        // terminal reports a failing read rather than a lost resource).
        m_lost = m_lost || e == QSerialPort::ResourceError || e == QSerialPort::ReadError ||
                 e == QSerialPort::WriteError;
        m_error = m_port ? m_port->errorString() : QString();
    });
    port.setPortName(device);
    port.setBaudRate(kBaudRate);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::HardwareControl);
    port.setReadBufferSize(static_cast<qint64>(kInputBufferSize));
    if (!port.open(QIODevice::ReadWrite)) {
        const QString reason = m_error.isEmpty() ? port.errorString() : m_error;
        const auto first = static_cast<QSerialPort::SerialPortError>(m_firstError);
        m_error = openFailure(device, first != QSerialPort::NoError ? first : port.error(), reason);
        m_port.reset();
        m_lock.release();
        return false;
    }
    port.setDataTerminalReady(true);
    port.clear(QSerialPort::AllDirections);
    return true;
}

void QtSerialPort::close() {
    if (m_port && m_port->isOpen()) {
        m_port->close();
    }
    m_lock.release();
    m_lost = false;
}

bool QtSerialPort::isOpen() const {
    return m_port && m_port->isOpen() && !m_lost;
}

void QtSerialPort::dropIfLost() {
    if (m_lost && m_port && m_port->isOpen()) {
        m_port->close();
    }
}

bool QtSerialPort::write(std::span<const std::uint8_t> bytes) {
    dropIfLost();
    if (!isOpen()) {
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (m_port->write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        m_error = m_port->errorString();
        return false;
    }
    // Hands the bytes to the device now: without an event loop they would wait in Qt's buffer.
    m_port->flush();
    return !m_lost;
}

void QtSerialPort::takeArrived() {
    if (m_port->bytesAvailable() < m_port->readBufferSize()) {
        m_port->waitForReadyRead(0);
    }
}

std::size_t QtSerialPort::inputCount() {
    dropIfLost();
    if (!isOpen()) {
        return 0;
    }
    takeArrived();
    return static_cast<std::size_t>(std::max<qint64>(m_port->bytesAvailable(), 0));
}

std::size_t QtSerialPort::read(std::span<std::uint8_t> buffer) {
    dropIfLost();
    if (!isOpen() || buffer.empty()) {
        return 0;
    }
    if (m_port->bytesAvailable() < static_cast<qint64>(buffer.size())) {
        takeArrived();
    }
    const qint64 got =
        m_port->read(reinterpret_cast<char*>(buffer.data()), static_cast<qint64>(buffer.size()));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

void QtSerialPort::discardInput() {
    dropIfLost();
    if (isOpen()) {
        m_port->clear(QSerialPort::Input);
    }
}

void QtSerialPort::waitClosed(int timeoutMs, SerialWait how) {
    if (timeoutMs <= 0) {
        return;
    }
    if (how == SerialWait::KeepAlive && QCoreApplication::instance() != nullptr) {
        QEventLoop loop;
        runKeepingAlive(loop, timeoutMs);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    }
}

std::size_t QtSerialPort::waitForInput(std::size_t count, int timeoutMs, SerialWait how) {
    const QDeadlineTimer deadline(std::max(timeoutMs, 0));
    const auto left = [&deadline] { return static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)); };
    if (!isOpen()) {
        // Nothing can arrive; a caller that waits in a loop must not spin.
        waitClosed(left(), how);
        return 0;
    }
    for (;;) {
        const std::size_t waiting = inputCount();
        if (waiting >= count || deadline.hasExpired() || !isOpen()) {
            return waiting; // a port that went away meanwhile ends the wait: the caller sees it closed
        }
        if (waiting >= kInputBufferSize) {
            waitClosed(left(), how); // nothing more fits
            return inputCount();
        }
        if (how == SerialWait::KeepAlive && QCoreApplication::instance() != nullptr) {
            QEventLoop loop;
            QSerialPort* port = m_port.get();
            QObject::connect(port, &QSerialPort::readyRead, &loop, [port, count, &loop] {
                if (port->bytesAvailable() >= static_cast<qint64>(count)) {
                    loop.quit();
                }
            });
            QObject::connect(port, &QSerialPort::errorOccurred, &loop, &QEventLoop::quit);
            runKeepingAlive(loop, left());
        } else if (!m_port->waitForReadyRead(left()) && !deadline.hasExpired() && !m_lost &&
                   inputCount() == waiting) {
            // Neither bytes nor a time-out nor a lost device: do not poll a failing device in a loop.
            waitClosed(left(), how);
            return inputCount();
        }
    }
}

} // namespace thermo4::link
