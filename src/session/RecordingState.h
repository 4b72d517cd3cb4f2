#pragma once

#include "session/Reading.h"

#include <QObject>

#include <cstdint>
#include <limits>

namespace thermo4::session {

/// The real-time recording below the windows: whether one runs, its sampling period,
/// how many samples it asked for and has taken, and whether they are saved. The session
/// feeds it every poll tick's time and every reading; it decides which readings are
/// samples and announces each one, so the graph, the journal and the network publisher
/// all record the same samples whatever window is open.
class RecordingState : public QObject {
    Q_OBJECT
public:
    /// Sampling period when the setting is absent (s).
    static constexpr int kDefaultRate = 2;
    /// A recording without a sample count.
    static constexpr int kNoLimit = std::numeric_limits<int>::max();

    explicit RecordingState(QObject* parent = nullptr);

    bool recording() const { return m_recording; }
    /// Starts a recording of at most capacity samples, counted from 0.
    void start(int capacity = kNoLimit);
    /// Ends the recording. Start and stop announce the state at every call, so the
    /// controls that follow it are set again even when it did not change.
    void stop();

    /// Seconds between samples; persisted as "RealTimeRate".
    int realTimeRate() const { return m_realTimeRate; }
    void setRealTimeRate(int seconds) { m_realTimeRate = seconds; }
    /// Samples taken since the recording started.
    int samplesTaken() const { return m_taken; }
    /// The sample count the recording asked for.
    int capacity() const { return m_capacity; }

    /// Days by which the real-time graph's time axis grows when a sample falls past its end.
    double samplePeriod = 0.0;
    /// Time-span factor of the real-time graph.
    float spanFactor = 1.0f;
    /// A sample was taken since the real-time graph was last saved.
    bool realTimeUnsaved = false;

    /// A poll tick that reached the link began at time: the sampling period is
    /// counted in changes of the clock's seconds field, recording or not, so the
    /// first valid reading after a start is a sample at once.
    void noteTick(const QDateTime& time);
    /// A valid reading of that tick: a sample when a recording runs and its period has
    /// passed; the sample that fills the recording stops it.
    void offer(const Reading& reading);
    /// The real-time graph's samples were written to a file: clears realTimeUnsaved.
    void noteSaved();
    /// The real-time graph's samples were thrown away on purpose (cleared, replaced
    /// by a new recording, or the window closed after its question).
    void noteDiscarded();

signals:
    void recordingChanged(bool recording);
    /// Sample number (from 1) of the recording was taken.
    void sampleRecorded(int number, const thermo4::session::Reading& reading);
    /// The recording has taken the samples it asked for and has stopped (announced after the last one).
    void filled();
    void samplesSaved();
    void samplesDiscarded();

private:
    bool m_recording = false;
    int m_realTimeRate = kDefaultRate;
    int m_capacity = kNoLimit;
    int m_taken = 0;
    /// Changes of the seconds field seen since the last sample.
    int m_secondTicks = 0;
    /// The seconds field at the previous tick.
    int m_lastSecond = 0;
};

} // namespace thermo4::session
