#include "formats/JournalFormat.h"

#include "core/MeterStatus.h"
#include "core/TDateTime.h"

#include <QDir>

#include <charconv>
#include <cmath>

namespace thermo4::formats {

namespace {

constexpr qsizetype kTimeLength = 23; // 2024-05-01T14:03:07.123

void appendDigits(QByteArray& out, int value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(digits, width);
}

// Local wall-clock date and time of days, split without any time zone so that
// reading the text back gives the same days.
void appendTime(QByteArray& out, double days) {
    double whole = std::trunc(days);
    auto ms = static_cast<qint64>(std::llround(std::fabs(days - whole) * core::kMsPerDay));
    if (ms >= static_cast<qint64>(core::kMsPerDay)) {
        ms -= static_cast<qint64>(core::kMsPerDay);
        whole += days < 0 ? -1.0 : 1.0;
    }
    const QDate date = core::TDateTimeEpoch().addDays(static_cast<qint64>(whole));
    appendDigits(out, std::clamp(date.year(), 0, 9999), 4);
    out.append('-');
    appendDigits(out, date.month(), 2);
    out.append('-');
    appendDigits(out, date.day(), 2);
    out.append('T');
    appendDigits(out, int(ms / 3600000), 2);
    out.append(':');
    appendDigits(out, int(ms / 60000 % 60), 2);
    out.append(':');
    appendDigits(out, int(ms / 1000 % 60), 2);
    out.append('.');
    appendDigits(out, int(ms % 1000), 3);
}

void appendValue(QByteArray& out, float value) {
    char text[32];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::fixed, 1);
    if (error != std::errc()) {
        out.append("0.0"); // only a value beyond any meter's range gets here
        return;
    }
    const QByteArrayView written(text, end - text);
    // A value that rounds to zero from below is written without its sign.
    out.append(written == "-0.0" ? QByteArrayView("0.0") : written);
}

std::optional<int> parseDigits(QByteArrayView text, qsizetype from, qsizetype count) {
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<double> parseTimeText(QByteArrayView text) {
    if (text.size() != kTimeLength || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != '.')
        return std::nullopt;
    const auto year = parseDigits(text, 0, 4);
    const auto month = parseDigits(text, 5, 2);
    const auto day = parseDigits(text, 8, 2);
    const auto hour = parseDigits(text, 11, 2);
    const auto minute = parseDigits(text, 14, 2);
    const auto second = parseDigits(text, 17, 2);
    const auto ms = parseDigits(text, 20, 3);
    if (!year || !month || !day || !hour || !minute || !second || !ms)
        return std::nullopt;
    const QDate date(*year, *month, *day);
    const QTime time(*hour, *minute, *second, *ms);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return core::TDateTimeFromDateAndTime(date, time);
}

} // namespace

QString JournalProgramName() {
    return QStringLiteral("thermo4 " THERMO4_VERSION);
}

QByteArray JournalHeaderText(const JournalHeader& header) {
    const QDateTime start = header.start.toOffsetFromUtc(header.start.offsetFromUtc());
    // Header values are one line each: a line break in a meter's reply must not start a new field.
    const auto oneLine = [](const QString& text) {
        QString line = text;
        line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        return line.toUtf8();
    };
    QByteArray out;
    out += kJournalMagic;
    out += "\n# program: " + oneLine(header.program.isEmpty() ? JournalProgramName() : header.program);
    out += "\n# start: " + start.toString(Qt::ISODateWithMs).toLatin1();
    out += "\n# rate_s: " + QByteArray::number(header.rateSeconds);
    out += "\n# meter: " + oneLine(header.meterModel);
    out += "\n# link: " + oneLine(header.link);
    if (!header.device.isEmpty())
        out += "\n# device: " + oneLine(header.device);
    out += "\n# unit: \xC2\xB0"
           "C\n";
    out += kJournalColumns;
    out += '\n';
    return out;
}

QByteArray JournalSampleLine(const JournalSample& sample) {
    QByteArray out;
    out.reserve(64);
    appendTime(out, sample.time);
    for (int channel = 0; channel < 4; ++channel) {
        out.append(',');
        switch (core::ChannelConditionOf(sample.channelState, channel)) {
        case core::ChannelCondition::OverRange:
            out.append("OL");
            break;
        case core::ChannelCondition::NoReading:
            out.append("----");
            break;
        case core::ChannelCondition::Reading:
            appendValue(out, sample.reading[static_cast<std::size_t>(channel)]);
            break;
        }
    }
    out.append('\n');
    return out;
}

std::optional<JournalSample> ParseJournalSampleLine(QByteArrayView line) {
    if (line.endsWith('\r'))
        line.chop(1);
    qsizetype comma = line.indexOf(',');
    if (comma < 0)
        return std::nullopt;
    const auto time = parseTimeText(line.first(comma));
    if (!time)
        return std::nullopt;
    JournalSample sample;
    sample.time = *time;
    for (int channel = 0; channel < 4; ++channel) {
        const qsizetype from = comma + 1;
        comma = line.indexOf(',', from);
        if ((channel < 3) != (comma >= 0))
            return std::nullopt; // too few or too many fields
        const QByteArrayView field = line.sliced(from, (comma < 0 ? line.size() : comma) - from);
        float& value = sample.reading[static_cast<std::size_t>(channel)];
        if (field == "OL") {
            sample.channelState |= std::uint8_t(1u << channel);
            value = kJournalNullValue;
        } else if (field == "----") {
            sample.channelState |= std::uint8_t(1u << (channel + 4));
            value = kJournalNullValue;
        } else {
            const char* end = field.data() + field.size();
            const auto result = std::from_chars(field.data(), end, value, std::chars_format::fixed);
            if (field.isEmpty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value) ||
                std::fabs(value) > kJournalValueLimit)
                return std::nullopt;
        }
    }
    return sample;
}

QByteArray JournalStoppedLine(double time, const QString& reason) {
    QByteArray line = kJournalStoppedPrefix;
    appendTime(line, time);
    line += ": ";
    // One line, and no longer than the room kept for it.
    QString text = reason;
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    QByteArray why = text.toUtf8();
    const qsizetype room = kJournalReserveBytes - line.size() - 1;
    if (why.size() > room) {
        why.truncate(room);
        // Not inside a UTF-8 sequence.
        while (!why.isEmpty() && (static_cast<unsigned char>(why.back()) & 0xC0) == 0x80)
            why.chop(1);
        if (!why.isEmpty() && static_cast<unsigned char>(why.back()) >= 0xC0)
            why.chop(1);
    }
    return line + why + '\n';
}

QByteArray JournalResumedLine(double time) {
    QByteArray line = kJournalResumedPrefix;
    appendTime(line, time);
    return line + '\n';
}

QByteArray JournalAlarmLine(double time, const QString& text) {
    QByteArray line = kJournalAlarmPrefix;
    appendTime(line, time);
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line + ": " + oneLine.toUtf8() + '\n';
}

QByteArray JournalReserveLine() {
    return '#' + QByteArray(kJournalReserveBytes - 2, ' ') + '\n';
}

std::optional<double> ParseJournalTime(QByteArrayView text) {
    return parseTimeText(text);
}

QString JournalFileName(const QDateTime& start, int attempt) {
    QString name = start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    if (attempt > 1)
        name += QLatin1Char('_') + QString::number(attempt);
    return name + QStringLiteral(".csv");
}

QString JournalFolderIn(const QString& dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("journal"));
}

} // namespace thermo4::formats
