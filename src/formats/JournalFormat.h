#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace thermo4::formats {

// A recording journal is a UTF-8 CSV file: header lines starting with '#', the
// column line "time,T1,T2,T3,T4", then one line per sample:
//
//   # thermo4 recording journal 1
//   # program: thermo4 0.1.0
//   # start: 2024-05-01T14:03:07.123+02:00
//   # rate_s: 2
//   # meter: 418
//   # link: usb
//   # unit: °C
//   time,T1,T2,T3,T4
//   2024-05-01T14:03:07.123,23.4,OL,----,-5.0
//
// Sample times are local wall-clock times with milliseconds, values in °C with
// one decimal and "." as separator; "OL" is over range, "----" no reading. A
// journal whose recording was saved or discarded ends with "# finished: ...".
//
// Among the samples, lines starting with '#' are notes: a journal that could not
// be written for a while says from which sample on and why, and where it goes on,
//
//   # stopped: 2024-05-01T14:05:10.123: no space left on device
//   # resumed: 2024-05-01T14:06:02.123
//
// An alarm's beginning or end during the recording is a note of its own,
//
//   # alarm: 2024-05-01T14:05:10.123: T1 > 300.0 (301.2)
//   # alarm: 2024-05-01T14:06:30.623: T1 back (299.4)
//
// and while it is written it ends in a blank note ('#' and spaces, the room the
// "stopped" line takes when the disk is full). Readers skip notes they do not know.

inline constexpr char kJournalMagic[] = "# thermo4 recording journal 1";
inline constexpr char kJournalColumns[] = "time,T1,T2,T3,T4";
inline constexpr char kJournalFinishedPrefix[] = "# finished:";
inline constexpr char kJournalStoppedPrefix[] = "# stopped: ";
inline constexpr char kJournalResumedPrefix[] = "# resumed: ";
inline constexpr char kJournalAlarmPrefix[] = "# alarm: ";
/// Length of the blank note at the end of a journal being written, line end included.
inline constexpr qsizetype kJournalReserveBytes = 128;
/// The chart's null value, stored for "OL" and "----".
inline constexpr float kJournalNullValue = 9999.0f;
/// Readings beyond this magnitude (°C) are not a meter's and mark a damaged line.
inline constexpr double kJournalValueLimit = 100000.0;

/// What a journal says about its recording.
struct JournalHeader {
    /// "thermo4 <version>" of the program that wrote it (filled by the writer).
    QString program;
    /// Start of the recording, local time with its offset from UTC.
    QDateTime start;
    /// Sampling rate (s).
    int rateSeconds = 0;
    /// Meter model as the meter identified itself; may be empty.
    QString meterModel;
    /// "usb", "serial" or "simulated".
    QString link;
    /// The meter: its USB serial number, else its device path; empty when unknown (no line then).
    QString device;

    bool operator==(const JournalHeader&) const = default;
};

/// One sample as the graph holds it.
struct JournalSample {
    /// Days since 1899-12-30, local time.
    double time = 0.0;
    /// Bit n: T(n+1) over range ("OL"); bit n+4: T(n+1) has no reading ("----").
    std::uint8_t channelState = 0;
    /// T1 to T4 in °C; kJournalNullValue where a channel shows "OL" or "----".
    std::array<float, 4> reading{};

    bool operator==(const JournalSample&) const = default;
};

/// The header lines and the column line, each ending in '\n'. Fills in the
/// program version when header.program is empty.
QByteArray JournalHeaderText(const JournalHeader& header);
/// One sample line ending in '\n'. A channel whose state bit is set is written
/// as "OL" or "----" whatever its reading (over range wins).
QByteArray JournalSampleLine(const JournalSample& sample);
/// The sample of one line (without its '\n'); nullopt when the line is not one.
std::optional<JournalSample> ParseJournalSampleLine(QByteArrayView line);
/// "# stopped: <time>: <reason>\n", shortened to fit kJournalReserveBytes.
QByteArray JournalStoppedLine(double time, const QString& reason);
/// "# resumed: <time>\n".
QByteArray JournalResumedLine(double time);
/// "# alarm: <time>: <text>\n", the text on one line.
QByteArray JournalAlarmLine(double time, const QString& text);
/// The blank note of kJournalReserveBytes that ends a journal being written.
QByteArray JournalReserveLine();
/// A sample time as the lines write it ("2024-05-01T14:03:07.123"), in days; nullopt when it is not one.
std::optional<double> ParseJournalTime(QByteArrayView text);

/// "thermo4 <version>".
QString JournalProgramName();
/// File name of a journal started at start (local time): "2024-05-01_14-03-07.csv";
/// attempt > 1 adds "_<attempt>" before the extension.
QString JournalFileName(const QDateTime& start, int attempt = 1);
/// The journal folder of a data folder: "<dataDir>/journal".
QString JournalFolderIn(const QString& dataDir);

} // namespace thermo4::formats
