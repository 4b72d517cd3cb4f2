#pragma once

#include <cstdint>

namespace thermo4::link {

/// Receives the progress of a logger download (the progress dialog in the
/// GUI, a stderr line in the CLI). All calls come from inside the download.
class DownloadProgress {
public:
    virtual ~DownloadProgress() = default;
    /// The first block arrived; total bytes will be transferred.
    virtual void started(std::int32_t totalBytes) = 0;
    /// A block was appended; received bytes are now in the image.
    virtual void advanced(std::int32_t receivedBytes) = 0;
    /// The download ends (after started, or without it when it failed early).
    virtual void finished() = 0;
};

} // namespace thermo4::link
