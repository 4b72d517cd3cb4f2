#pragma once

#include "core/TDateTime.h"
#include "formats/JournalFormat.h"

#include <QDate>
#include <QTime>

namespace thermo4::test {

/// Start of the test recordings.
inline QDateTime JournalTestStart() {
    return QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0, 250));
}

/// Sample i of a test recording: one a second from JournalTestStart, tenths of
/// a degree that go negative, and every few samples a channel over range, without
/// a reading, or both. Times and values are the ones a journal line gives back.
inline formats::JournalSample JournalTestSample(int i) {
    const QDateTime at = JournalTestStart().addSecs(i);
    formats::JournalSample sample;
    sample.time = core::TDateTimeFromDateAndTime(at.date(), at.time());
    static constexpr std::uint8_t kStates[] = {0x00, 0x00, 0x01, 0x20, 0x00, 0x42, 0x84, 0x00, 0x0F};
    sample.channelState = kStates[i % 9];
    for (int k = 0; k < 4; ++k) {
        const bool flagged = sample.channelState & (0x11u << k);
        sample.reading[std::size_t(k)] =
            flagged ? formats::kJournalNullValue : float((i * 7 + k * 131) % 4000 - 1000) / 10.0f;
    }
    return sample;
}

inline formats::JournalHeader JournalTestHeader() {
    formats::JournalHeader header;
    header.start = JournalTestStart();
    header.rateSeconds = 1;
    header.meterModel = QStringLiteral("418");
    header.link = QStringLiteral("simulated");
    return header;
}

} // namespace thermo4::test
