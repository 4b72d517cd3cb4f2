#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>

namespace thermo4::sim {

/// Scripted misbehaviour of the virtual meter and of its links. Block numbers
/// are those of the download (1-based); "once" faults are used up when they fire.
struct MeterFaults {
    /// Bytes of a block reply that is cut short.
    static constexpr std::size_t kCutShortBytes = 20;

    std::set<int> failBlockReads;       ///< the read of each listed block fails once
    int stallAfterBlock = -1;           ///< once: after that block no block request is answered until a "P"
    int deadAfterBlock = -1;            ///< after that block only "P" is answered ("p", "r" never again)
    std::set<int> badChecksumBlocks;    ///< once each: byte 34 is one off the sum
    std::set<int> badTrailerBlocks;     ///< once each: byte 35 is not 0x05
    std::set<int> cutShortBlocks;       ///< once each: only the first kCutShortBytes bytes are sent
    bool seekAnswersWrongBlock = false; ///< "P" n answers with n + 1 in bytes 32–33
    /// How "r" after a failed read is answered. false: the failed read did not move
    /// the meter on; "r" re-sends the last good block and the next "p" gives the
    /// failed one again. true: the failed block counted as sent; "r" re-sends it and
    /// the next "p" gives the block after it.
    bool resendFailedBlockOnRetry = false;
    std::set<int> failLiveReads; ///< 1-based numbers of the "A" commands whose reply is withheld
    std::string failWrites;      ///< command letters whose writes fail on the link
    int failOpensAfter = -1;     ///< opens after this many successful ones fail
    int failTimeoutsAfter = -1;  ///< time-out settings after this many successful ones fail
    int unplugAfterReads = -1;   ///< the meter is unplugged after this many successful reads
    /// Setup command letter → how many of its replies come without their acknowledgement
    /// ("OK" or the echo) and without effect; a negative count refuses every one.
    std::map<char, int> refuseReplies;
};

} // namespace thermo4::sim
