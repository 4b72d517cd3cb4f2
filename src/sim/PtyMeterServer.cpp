#include "sim/PtyMeterServer.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace thermo4::sim {

namespace {

using Clock = std::chrono::steady_clock;

/// Output bytes held at most; beyond this (a program that writes commands and
/// never reads) further replies are dropped, as a full UART buffer would.
constexpr std::size_t kMaxHeldBytes = 64 * 1024;
/// Pause after the terminal reports a hang-up, so the loop does not spin (ms).
constexpr int kHangUpPauseMs = 20;

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

PtyMeterServer::PtyMeterServer(VirtualMeter& meter) : m_line(meter) {}

PtyMeterServer::~PtyMeterServer() {
    closeFd(m_master);
    closeFd(m_slave);
    closeFd(m_stop);
}

bool PtyMeterServer::open(QString* error) {
    termios raw{};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    if (::openpty(&m_master, &m_slave, nullptr, &raw, nullptr) != 0) {
        if (error)
            *error = systemError("cannot open a pseudo-terminal");
        return false;
    }
    std::array<char, 256> name{};
    if (::ptsname_r(m_master, name.data(), name.size()) != 0) {
        if (error)
            *error = systemError("cannot name the pseudo-terminal");
        return false;
    }
    m_path = QString::fromLocal8Bit(name.data());
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_stop = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stop < 0) {
        if (error)
            *error = systemError("cannot create an event descriptor");
        return false;
    }
    return true;
}

void PtyMeterServer::stop() {
    if (m_stop >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_stop, &one, sizeof one);
    }
}

bool PtyMeterServer::run(QString* error) {
    struct Due {
        std::uint8_t byte;
        Clock::time_point at;
    };
    const auto byteTime = std::chrono::nanoseconds(m_paced ? kByteTimeNs : 0);
    std::deque<Due> out;
    Clock::time_point lineFree = Clock::now();
    std::array<std::uint8_t, 4096> in{};
    std::array<std::uint8_t, 4096> chunk{};
    for (;;) {
        // Hand over every byte that is due.
        Clock::time_point now = Clock::now();
        bool blocked = false;
        std::size_t due = 0;
        while (due < out.size() && due < chunk.size() && out[due].at <= now) {
            chunk[due] = out[due].byte;
            ++due;
        }
        if (due > 0) {
            const ssize_t written = ::write(m_master, chunk.data(), due);
            if (written > 0) {
                out.erase(out.begin(), out.begin() + written);
            } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
                if (error)
                    *error = systemError("cannot write to the pseudo-terminal");
                return false;
            }
            blocked = written < static_cast<ssize_t>(due);
        }

        std::array<pollfd, 2> fds{
            {{m_master, static_cast<short>(POLLIN | (blocked ? POLLOUT : 0)), 0}, {m_stop, POLLIN, 0}}};
        timespec timeout{};
        timespec* limit = nullptr;
        if (!out.empty() && !blocked) {
            const auto wait = std::max(out.front().at - Clock::now(), Clock::duration::zero());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(ns % 1'000'000'000);
            limit = &timeout;
        }
        if (::ppoll(fds.data(), fds.size(), limit, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            if (error)
                *error = systemError("cannot wait on the pseudo-terminal");
            return false;
        }
        if (fds[1].revents != 0)
            return true;
        if ((fds[0].revents & POLLIN) != 0) {
            const ssize_t got = ::read(m_master, in.data(), in.size());
            if (got > 0) {
                now = Clock::now();
                const auto bytes = std::span(in).first(static_cast<std::size_t>(got));
                // The meter hears the command once its bytes have crossed the line.
                const std::vector<std::uint8_t> reply = m_line.receive(bytes);
                Clock::time_point at = std::max(now + byteTime * got, lineFree);
                for (std::size_t i = 0; i < reply.size() && out.size() < kMaxHeldBytes; ++i) {
                    at += byteTime;
                    out.push_back({reply[i], at});
                }
                if (!reply.empty())
                    lineFree = at;
            } else if (got < 0 && errno == EIO) {
                ::poll(nullptr, 0, kHangUpPauseMs); // no program on the other end
            } else if (got < 0 && errno != EAGAIN && errno != EINTR) {
                if (error)
                    *error = systemError("cannot read from the pseudo-terminal");
                return false;
            }
        } else if ((fds[0].revents & (POLLHUP | POLLERR)) != 0) {
            ::poll(nullptr, 0, kHangUpPauseMs);
        }
    }
}

} // namespace thermo4::sim
