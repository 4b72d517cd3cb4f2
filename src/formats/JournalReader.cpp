#include "formats/JournalReader.h"

#include "formats/BoundedRead.h"

#include <QFile>
#include <QFileInfo>

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

bool JournalReader::looksLikeJournal(const QByteArray& bytes) {
    const QByteArrayView magic(kJournalMagic);
    return bytes.startsWith(magic) &&
           (bytes.size() == magic.size() || bytes[magic.size()] == '\n' || bytes[magic.size()] == '\r');
}

JournalContents JournalReader::read(const QString& path) {
    JournalContents contents;
    const QFileInfo info(path);
    if (!info.exists()) {
        contents.error = QStringLiteral("%1: no such file").arg(path);
        return contents;
    }
    if (!info.isFile()) {
        contents.error = QStringLiteral("%1: not a regular file").arg(path);
        return contents;
    }
    if (info.size() > kMaxFileSize) {
        contents.error = QStringLiteral("%1: %2 bytes is too large for a journal").arg(path).arg(info.size());
        return contents;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.error = QStringLiteral("%1: cannot open: %2").arg(path, file.errorString());
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
    if (!looksLikeJournal(bytes)) {
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
