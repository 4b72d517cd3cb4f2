#pragma once

namespace thermo4::link {

/// Keeps other transactions off the link while one holds it. A download holds
/// it for its whole length (its waits process window messages, so a panel key,
/// the setup dialog or a poll tick could otherwise start); those callers ask
/// busy() first and do nothing while it is held. Single-threaded by design.
class LinkGuard {
public:
    /// Holds the link from construction to destruction; movable, not copyable.
    class Hold {
    public:
        explicit Hold(LinkGuard& guard) : m_guard(&guard) { ++m_guard->m_holders; }
        Hold(Hold&& other) noexcept : m_guard(other.m_guard) { other.m_guard = nullptr; }
        Hold& operator=(Hold&&) = delete;
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        ~Hold() { release(); }
        /// Gives the link back before the end of the scope; later calls do nothing.
        void release() {
            if (m_guard) {
                --m_guard->m_holders;
                m_guard = nullptr;
            }
        }

    private:
        LinkGuard* m_guard;
    };

    [[nodiscard]] Hold hold() { return Hold(*this); }
    bool busy() const { return m_holders > 0; }

private:
    int m_holders = 0;
};

} // namespace thermo4::link
