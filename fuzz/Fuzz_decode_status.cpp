// Any 64 bytes decode to glyph indices the panel has bitmaps for.
#include "core/MeterStatus.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

using namespace thermo4::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, kStatusFrameSize> frame{};
    std::memcpy(frame.data(), data, std::min(size, frame.size()));
    MeterStatus status;
    DecodeStatus(frame, status);
    for (const auto& row : status.digit) {
        for (std::uint8_t glyph : row) {
            if (glyph >= kGlyphCount) {
                std::abort();
            }
        }
    }
    for (std::uint8_t glyph : status.smallDigit) {
        if (glyph >= kGlyphCount) {
            std::abort();
        }
    }
    // The virtual meter encodes through the inverse tables: they must give the glyph back.
    if (GlyphFromTableA(TableACodeForGlyph(status.digit[0][0])) != status.digit[0][0] ||
        GlyphFromTableB(TableBCodeForGlyph(status.digit[1][0])) != status.digit[1][0]) {
        std::abort();
    }
    for (int ch = 0; ch < 4; ++ch) {
        (void)ChannelDisplayText(status.channelState, ch, status.reading[static_cast<std::size_t>(ch)],
                                 QLocale::c());
    }
    return 0;
}
