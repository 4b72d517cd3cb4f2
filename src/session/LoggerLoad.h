#pragma once

#include "core/LinkResult.h"
#include "core/MemoryImage.h"
#include "link/DownloadProgress.h"

#include <QString>

namespace thermo4::session {

/// The caller's side of a logger load (MeterSession::loadLogger): the download's
/// progress, then what becomes of the memory image. Called while the session
/// holds the link.
class LoggerLoadHandler : public link::DownloadProgress {
public:
    /// The link is held and nothing is sent yet.
    virtual void begin() {}
    /// The download delivered image: decode and show it; 0 or the decoder's (or the caller's) code.
    virtual core::LinkResult loaded(const core::MemoryImage& image) = 0;
    /// The load ended with code (the download's, or what loaded() returned): tell the user.
    virtual void failed(core::LinkResult code) = 0;
};

/// What the user is told when a logger load (download, then decode) ends with
/// code (not 0): the no-data text for the decoder's 6, otherwise the error text followed by the code.
QString LoggerLoadMessage(core::LinkResult code);

} // namespace thermo4::session
