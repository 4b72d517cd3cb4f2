#include "formats/JournalReader.h"

#include "formats/BoundedRead.h"
#include "formats/FileSystem.h"

#include <QFile>

#include <algorithm>

namespace thermo4::formats {

namespace {

constexpr QByteArrayView kHeaderMark = "# ";

// The lines of bytes: each without its '\n' (and '\r'), and whether it had a line end.
struct Line {
    QByteArrayView text;
    bool complete;
};

class Lines {
public:
    explicit Lines(const QByteArray& bytes) : m_rest(bytes) {}
    bool next(Line& line) {
        if (m_rest.isEmpty())
            return false;
        const qsizetype end = m_rest.indexOf('\n');
        QByteArrayView text = end < 0 ? m_rest : m_rest.first(end);
        m_rest = end < 0 ? QByteArrayView() : m_rest.sliced(end + 1);
        if (text.endsWith('\r'))
            text.chop(1);
        line = {text, end >= 0};
        ++m_number;
        return true;
    }
    int number() const { return m_number; }

private:
    QByteArrayView m_rest;
    int m_number = 0;
};

// One "# key: value" header line into header; the error text when it is damaged.
QString readHeaderField(QByteArrayView line, JournalHeader& header) {
    const QByteArrayView field = line.sliced(kHeaderMark.size());
    const qsizetype colon = field.indexOf(':');
    if (colon < 0)
        return QStringLiteral("\"%1\" is not a field").arg(QString::fromUtf8(line));
    const QByteArrayView key = field.first(colon);
    const QString value = QString::fromUtf8(field.sliced(colon + 1)).trimmed();
    if (key == "program") {
        header.program = value;
    } else if (key == "start") {
        header.start = QDateTime::fromString(value, Qt::ISODateWithMs);
        if (!header.start.isValid())
            return QStringLiteral("start time \"%1\" is not a date and time").arg(value);
    } else if (key == "rate_s") {
        bool ok = false;
        header.rateSeconds = value.toInt(&ok);
        if (!ok || header.rateSeconds <= 0)
            return QStringLiteral("sampling rate \"%1\" is not a number of seconds").arg(value);
    } else if (key == "meter") {
        header.meterModel = value;
    } else if (key == "link") {
        header.link = value;
    } else if (key == "device") {
        header.device = value;
    } else if (key == "unit") {
        if (value != QStringLiteral("\u00B0C"))
            return QStringLiteral("unit \"%1\" is not \u00B0C").arg(value);
    }
    return {}; // fields of later versions are skipped
}

// A note among the samples: finished, stopped, resumed; others (the blank note
// that ends a journal being written, notes of later versions) are skipped.
void readNote(QByteArrayView line, JournalContents& contents) {
    if (line.startsWith(kJournalFinishedPrefix)) {
        contents.finished = true;
    } else if (line.startsWith(kJournalStoppedPrefix)) {
        const QByteArrayView rest = line.sliced(QByteArrayView(kJournalStoppedPrefix).size());
        const qsizetype colon = rest.indexOf(": ");
        const auto from = ParseJournalTime(colon < 0 ? rest : rest.first(colon));
        if (from)
            contents.gaps.append(
                {*from, std::nullopt, colon < 0 ? QString() : QString::fromUtf8(rest.sliced(colon + 2))});
    } else if (line.startsWith(kJournalResumedPrefix)) {
        const auto to = ParseJournalTime(line.sliced(QByteArrayView(kJournalResumedPrefix).size()));
        if (to && !contents.gaps.isEmpty() && !contents.gaps.back().to)
            contents.gaps.back().to = to;
    }
}

} // namespace

JournalStart JournalReader::inspectStart(QByteArrayView bytes, QString* version) {
    // The first line, which decides; a journal's is short.
    constexpr qsizetype kLongestFirstLine = 200;
    const qsizetype end = bytes.indexOf('\n');
    QByteArrayView line = bytes.first(end < 0 ? std::min(bytes.size(), kLongestFirstLine) : end);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line == QByteArrayView(kJournalMagic))
        return JournalStart::Journal;
    const bool text = line.isValidUtf8() && std::none_of(line.begin(), line.end(), [](char c) {
                          return static_cast<unsigned char>(c) < 0x20 && c != '\t';
                      });
    if (!text)
        return JournalStart::NotJournal;
    // The magic without its version number: "# thermo4 recording journal".
    const QByteArrayView family = QByteArrayView(kJournalMagic).chopped(2);
    if (line.startsWith(family) && line.size() > family.size() && line[family.size()] == ' ') {
        if (version)
            *version = QStringLiteral("version %1").arg(QString::fromUtf8(line.sliced(family.size() + 1)));
        return JournalStart::UnknownVersion;
    }
    if (line.startsWith(kHeaderMark) || line == QByteArrayView(kJournalColumns)) {
        if (version)
            *version = QStringLiteral("no version line");
        return JournalStart::UnknownVersion;
    }
    return JournalStart::NotJournal;
}

JournalContents JournalReader::read(const QString& path) {
    JournalContents contents;
    QFile file;
    QString why;
    if (const FileOpen opened = OpenRegularFile(path, file, &why); opened != FileOpen::Opened) {
        contents.error = QStringLiteral("%1: %2").arg(path, NotOpenedReason(opened, why));
        return contents;
    }
    if (file.size() > kMaxFileSize) {
        contents.error = QStringLiteral("%1: %2 bytes is too large for a journal").arg(path).arg(file.size());
        return contents;
    }
    // At most the limit, even if the file grew meanwhile.
    const QByteArray bytes = ReadAtMost(file, kMaxFileSize);
    if (file.error() != QFileDevice::NoError) {
        contents.error = QStringLiteral("%1: cannot read: %2").arg(path, file.errorString());
        return contents;
    }
    return parse(bytes, path);
}

JournalContents JournalReader::parse(const QByteArray& bytes, const QString& name) {
    JournalContents contents;
    if (bytes.isEmpty()) {
        contents.error = QStringLiteral("%1: empty file, not a journal").arg(name);
        return contents;
    }
    switch (QString version; inspectStart(bytes, &version)) {
    case JournalStart::Journal:
        break;
    case JournalStart::UnknownVersion:
        contents.error =
            QStringLiteral("%1: not a recording journal of a known version (%2)").arg(name, version);
        return contents;
    case JournalStart::NotJournal:
        contents.error = QStringLiteral("%1: not a recording journal").arg(name);
        return contents;
    }
    const auto damaged = [&](int line, const QString& why) {
        contents.error = QStringLiteral("%1: damaged header (line %2): %3").arg(name).arg(line).arg(why);
        return contents;
    };

    Lines lines(bytes);
    Line line;
    lines.next(line); // the first line, checked above
    bool columns = false;
    while (!columns && lines.next(line)) {
        if (!line.complete)
            break;
        if (line.text == kJournalColumns) {
            columns = true;
        } else if (line.text.startsWith(kHeaderMark)) {
            const QString why = readHeaderField(line.text, contents.header);
            if (!why.isEmpty())
                return damaged(lines.number(), why);
        } else {
            return damaged(
                lines.number(),
                QStringLiteral("\"%1\" where the header goes on")
                    .arg(QString::fromUtf8(line.text.first(std::min<qsizetype>(line.text.size(), 40)))));
        }
    }
    if (!columns)
        return damaged(lines.number(), QStringLiteral("the file ends inside its header"));
    if (!contents.header.start.isValid())
        return damaged(lines.number(), QStringLiteral("no start time"));
    if (contents.header.rateSeconds <= 0)
        return damaged(lines.number(), QStringLiteral("no sampling rate"));

    contents.samples.reserve(static_cast<std::size_t>(bytes.size() / 40));
    while (lines.next(line)) {
        if (line.text.startsWith('#')) {
            readNote(line.text, contents);
            continue;
        }
        // A line without its end was cut while it was written: even one that reads
        // as a sample may have lost digits.
        const auto sample = line.complete ? ParseJournalSampleLine(line.text) : std::nullopt;
        if (sample)
            contents.samples.push_back(*sample);
        else
            ++contents.droppedLines;
    }
    return contents;
}

} // namespace thermo4::formats
