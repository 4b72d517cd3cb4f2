#include "session/RecordingJournal.h"

#include "core/Commands.h"
#include "core/TDateTime.h"
#include "formats/JournalWriter.h"
#include "link/Clock.h"
#include "session/MeterSession.h"

namespace thermo4::session {

RecordingJournal::RecordingJournal(MeterSession& session, QString folder, bool simulated, QObject* parent)
    : QObject(parent), m_session(session), m_folder(std::move(folder)), m_simulated(simulated) {
    RecordingState& recording = session.recording();
    connect(&recording, &RecordingState::recordingChanged, this, &RecordingJournal::recordingChanged);
    connect(&recording, &RecordingState::sampleRecorded, this, &RecordingJournal::sampleRecorded);
    connect(&recording, &RecordingState::samplesSaved, this, [this] {
        // Samples still to come belong to the same recording and stay journaled.
        if (!m_session.recording().recording())
            finish();
    });
    connect(&recording, &RecordingState::samplesDiscarded, this, &RecordingJournal::discard);
}

RecordingJournal::~RecordingJournal() {
    if (!m_session.recording().realTimeUnsaved)
        finish();
}

void RecordingJournal::recordingChanged(bool recording) {
    if (recording && !m_writer)
        start();
    else if (!recording && !m_session.recording().realTimeUnsaved)
        finish(); // saved while it ran, and nothing came after
}

void RecordingJournal::sampleRecorded(int, const Reading& sample) {
    if (m_writer)
        m_writer->append(core::TDateTimeFromDateTime(sample.time), sample.status.channelState,
                         sample.status.reading);
}

void RecordingJournal::start() {
    formats::JournalHeader header;
    header.start = m_session.now();
    header.rateSeconds = m_session.recording().realTimeRate();
    header.meterModel = QString::fromLatin1(core::kModelCode.data(), qsizetype(core::kModelCode.size()));
    header.link = linkName();
    if (m_meterName)
        header.device = m_meterName();
    m_writer = std::make_unique<formats::JournalWriter>(m_folder, header);
    connect(m_writer.get(), &formats::JournalWriter::failed, this, [this](const QString& message) {
        emit notice(
            QStringLiteral("The recording goes on without its journal, which is tried again every %1 s: %2")
                .arg(formats::JournalWriter::kRetryIntervalS)
                .arg(message));
    });
    connect(m_writer.get(), &formats::JournalWriter::resumed, this, [this](const QString& path) {
        emit notice(QStringLiteral("The recording's journal is written again: %1").arg(path));
    });
}

void RecordingJournal::finish() {
    if (m_writer) {
        m_writer->finish();
        m_writer.reset();
    }
}

void RecordingJournal::discard() {
    if (m_writer) {
        m_writer->discard();
        m_writer.reset();
    }
}

QString RecordingJournal::linkName() const {
    if (m_session.serialLink())
        return QStringLiteral("serial");
    return m_simulated ? QStringLiteral("simulated") : QStringLiteral("usb");
}

} // namespace thermo4::session
