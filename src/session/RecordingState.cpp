#include "session/RecordingState.h"

namespace thermo4::session {

RecordingState::RecordingState(QObject* parent) : QObject(parent) {}

void RecordingState::start(int capacity) {
    m_capacity = capacity;
    m_taken = 0;
    m_recording = true;
    emit recordingChanged(true);
}

void RecordingState::stop() {
    m_recording = false;
    emit recordingChanged(false);
}

void RecordingState::noteTick(const QDateTime& time) {
    const int second = time.time().second();
    if (second != m_lastSecond) {
        ++m_secondTicks;
        m_lastSecond = second;
    }
}

void RecordingState::offer(const Reading& reading) {
    if (!m_recording || m_secondTicks < m_realTimeRate)
        return;
    m_secondTicks = 0;
    realTimeUnsaved = true;
    emit sampleRecorded(++m_taken, reading);
    // A recording of 0 samples also takes one before it ends.
    if (m_recording && m_taken >= m_capacity) {
        stop();
        emit filled();
    }
}

void RecordingState::noteSaved() {
    realTimeUnsaved = false;
    emit samplesSaved();
}

void RecordingState::noteDiscarded() {
    emit samplesDiscarded();
}

} // namespace thermo4::session
