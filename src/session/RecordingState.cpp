#include "session/RecordingState.h"

namespace thermo4::session {

RecordingState::RecordingState(QObject* parent) : QObject(parent) {}

void RecordingState::setRecording(bool recording) {
    m_recording = recording;
    emit recordingChanged(recording);
}

void RecordingState::announceSample(int number, const QDateTime& time, const core::MeterStatus& status) {
    emit sampleRecorded(number, time, status);
}

void RecordingState::noteSaved() {
    realTimeUnsaved = false;
    emit samplesSaved();
}

void RecordingState::noteDiscarded() {
    emit samplesDiscarded();
}

} // namespace thermo4::session
