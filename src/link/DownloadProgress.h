#pragma once

#include <cstdint>

namespace thermo4::link {

/// Receives the progress of a logger download (the progress dialog in the
/// GUI, stderr lines in the CLI) and may ask it to stop. All calls come from
/// inside the download.
class DownloadProgress {
public:
    virtual ~DownloadProgress() = default;
    /// The first block arrived; total bytes will be transferred.
    virtual void started(std::int32_t totalBytes) = 0;
    /// A block was appended; received bytes are now in the image.
    virtual void advanced(std::int32_t receivedBytes) = 0;
    /// The download ends (after started, or without it when it failed early).
    virtual void finished() = 0;
    /// The meter did not answer: the request goes out again, try `attempt` of `attempts` (from 2).
    /// The next block that arrives ends the wait (advanced or started follows).
    virtual void waiting(int attempt, int attempts) {
        static_cast<void>(attempt);
        static_cast<void>(attempts);
    }
    /// True once the download is to stop. It is asked at every wait and after every block; the
    /// download then ends the transfer as a finished one does and returns DownloadResult::kCancelled.
    virtual bool cancelled() const { return false; }
};

} // namespace thermo4::link
