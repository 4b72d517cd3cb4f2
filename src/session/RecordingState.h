#pragma once

#include "core/MeterStatus.h"

#include <QDateTime>
#include <QObject>

namespace thermo4::session {

/// The real-time recording as the poll, the main window's Run and Stop controls
/// and the real-time graph window share it: whether a recording runs, its
/// sampling period, how its time axis grows, and whether its samples are saved.
class RecordingState : public QObject {
    Q_OBJECT
public:
    /// Sampling period when the setting is absent (s).
    static constexpr int kDefaultRate = 2;

    explicit RecordingState(QObject* parent = nullptr);

    bool recording() const { return m_recording; }
    /// Starts or ends the recording; every call announces the state, so the
    /// controls that follow it are set again even when it did not change.
    void setRecording(bool recording);

    /// Seconds between samples; persisted as "RealTimeRate".
    int realTimeRate() const { return m_realTimeRate; }
    void setRealTimeRate(int seconds) { m_realTimeRate = seconds; }

    /// Days by which the real-time graph's time axis grows when a sample falls past its end.
    double samplePeriod = 0.0;
    /// Time-span factor of the real-time graph.
    float spanFactor = 1.0f;
    /// A sample was appended since the real-time graph was last saved.
    bool realTimeUnsaved = false;

    /// The real-time graph appended sample number (from 1) taken at time from status.
    void announceSample(int number, const QDateTime& time, const core::MeterStatus& status);
    /// The real-time graph's samples were written to a file: clears realTimeUnsaved.
    void noteSaved();
    /// The real-time graph's samples were thrown away on purpose (cleared, replaced
    /// by a new recording, or the window closed after its question).
    void noteDiscarded();

signals:
    void recordingChanged(bool recording);
    /// A sample went into the real-time graph (for the journal and the network publisher).
    void sampleRecorded(int number, const QDateTime& time, const thermo4::core::MeterStatus& status);
    void samplesSaved();
    void samplesDiscarded();

private:
    bool m_recording = false;
    int m_realTimeRate = kDefaultRate;
};

} // namespace thermo4::session
