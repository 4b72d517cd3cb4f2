#pragma once

#include "session/Reading.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace thermo4::formats {
class JournalWriter;
}

namespace thermo4::session {

class MeterSession;

/// Keeps the real-time graph's samples on disk until they are saved: Run starts a
/// journal in the journal folder, every recorded sample goes into it, and it is
/// finished and removed once the samples are saved or thrown away on purpose. A
/// journal left behind (a crash, a killed process, Exit with unsaved samples) is
/// what the recovery at start-up offers. A journal that cannot be written is
/// announced once per stretch, and again when it is written again; the recording
/// goes on meanwhile.
class RecordingJournal : public QObject {
    Q_OBJECT
public:
    /// session must outlive the journal. folder: where journals go ("<data>/journal");
    /// simulated: the USB meter is the virtual one (named so in the journal).
    RecordingJournal(MeterSession& session, QString folder, bool simulated, QObject* parent = nullptr);
    /// Finishes the journal when no sample is left unsaved; otherwise leaves it for recovery.
    ~RecordingJournal() override;
    RecordingJournal(const RecordingJournal&) = delete;
    RecordingJournal& operator=(const RecordingJournal&) = delete;

    /// Names the meter in each journal's header (its serial number, else its path).
    void setMeterName(std::function<QString()> name) { m_meterName = std::move(name); }

    QString folder() const { return m_folder; }
    /// The journal being written; null when no samples need one.
    formats::JournalWriter* writer() const { return m_writer.get(); }

signals:
    /// A message for the status bar.
    void notice(const QString& text);

private:
    void recordingChanged(bool recording);
    void sampleRecorded(int number, const Reading& sample);
    void start();
    void finish();
    void discard();
    QString linkName() const;

    MeterSession& m_session;
    QString m_folder;
    bool m_simulated;
    std::function<QString()> m_meterName;
    std::unique_ptr<formats::JournalWriter> m_writer;
};

} // namespace thermo4::session
