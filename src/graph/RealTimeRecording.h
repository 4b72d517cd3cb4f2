#pragma once

#include <QString>

namespace thermo4::ui {

class MainFrame;

/// The main window's real-time commands: Run asks for the number of samples and the
/// rate and starts a recording into the real-time graph; Stop ends it.
class RealTimeRecording {
public:
    /// Samples whose recording period the set-up dialog shows when it opens.
    static constexpr int kPeriodSamples = 2000;
    /// Longest wait (ms) for a running poll tick before a recording is stopped.
    static constexpr int kPollWaitMs = 2500;

    /// Largest sample count the set-up dialog takes (five digits).
    static constexpr int kMaxSamples = 99999;

    static const QString kRunQuestion;

    /// Run (button and menu): nothing without a meter; offers to save samples already
    /// recorded, asks for count and rate, then starts the recording.
    static void Run(MainFrame& frame);
    /// Stop (button and menu, and a full graph): ends the recording, cuts the graph to the
    /// samples taken and shows the averages.
    static void Stop(MainFrame& frame);
    /// Starts a recording of kMaxSamples at the saved rate without asking (thermo4 --record);
    /// nothing without a meter, while a recording runs, or when the real-time graph holds samples.
    static void StartUnattended(MainFrame& frame);
    /// Marks the recording as ended (the controls that follow it are set again).
    static void EndRecording(MainFrame& frame);
};

} // namespace thermo4::ui
