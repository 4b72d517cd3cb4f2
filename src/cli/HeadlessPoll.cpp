#include "cli/HeadlessPoll.h"

#include "core/NumberText.h"
#include "link/Clock.h"
#include "session/MeterSession.h"

namespace thermo4::cli {

QString LiveCsvLine(const QDateTime& time, const core::MeterStatus& status) {
    QString line = time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
    for (int channel = 0; channel < 4; ++channel) {
        line += QLatin1Char(',');
        switch (core::ChannelConditionOf(status.channelState, channel)) {
        case core::ChannelCondition::OverRange:
            line += QStringLiteral("OL");
            break;
        case core::ChannelCondition::NoReading:
            line += QStringLiteral("----");
            break;
        case core::ChannelCondition::Reading: {
            line += core::FixedText(static_cast<double>(status.reading[static_cast<std::size_t>(channel)]), 1,
                                    u".");
            break;
        }
        }
    }
    return line;
}

HeadlessPollEnd HeadlessPoll::run(session::MeterSession& session, link::Clock& clock,
                                  const std::function<bool(const QString&)>& printLine) const {
    // The lines come from the session's readings; the connection ends with the run.
    QObject lines;
    bool printFailed = false;
    QObject::connect(&session, &session::MeterSession::reading, &lines, [&](const session::Reading& reading) {
        printFailed = printFailed || !printLine(LiveCsvLine(reading.time, reading.status));
    });
    int printed = 0;
    std::int64_t lastReading = clock.tickMs();
    std::int64_t nextTick = lastReading;
    // What the meter did since the last valid reading, to say why there is none.
    bool answered = false;
    bool invalidFrame = false;
    bool silent = false;
    for (;;) {
        const link::PollResult result = session.pollOnce();
        switch (result.event) {
        case link::PollEvent::Connected:
            answered = true;
            break;
        case link::PollEvent::FrameDropped:
            answered = true;
            invalidFrame = true;
            break;
        case link::PollEvent::ReadFailed:
        case link::PollEvent::ConnectionLost:
            // On the serial link a frame with a wrong checksum fails the read itself.
            if (result.invalidReply) {
                answered = true;
                invalidFrame = true;
            }
            break;
        case link::PollEvent::FrameDecoded:
            lastReading = clock.tickMs();
            answered = true;
            invalidFrame = false;
            silent = false;
            if (printFailed) {
                return HeadlessPollEnd::OutputFailed;
            }
            if (stopAfterReading && stopAfterReading()) {
                return HeadlessPollEnd::Stopped;
            }
            if (samples > 0 && ++printed >= samples) {
                return HeadlessPollEnd::SamplesDone;
            }
            break;
        default:
            break;
        }
        if (clock.tickMs() - lastReading >= noReadingLimitMs) {
            if (!meterSilent) {
                if (invalidFrame) {
                    return HeadlessPollEnd::InvalidFrames;
                }
                return answered ? HeadlessPollEnd::MeterStopped : HeadlessPollEnd::NoMeter;
            }
            if (!silent) {
                silent = true;
                meterSilent();
            }
        }
        nextTick += periodMs;
        const std::int64_t wait = nextTick - clock.tickMs();
        if (wait > 0 && processEvents) {
            clock.delayWithMessages(static_cast<int>(wait - 1));
        } else if (wait > 0) {
            clock.delayBusy(static_cast<int>(wait - 1));
        } else {
            nextTick = clock.tickMs(); // a slow tick: start again from now
        }
    }
}

} // namespace thermo4::cli
