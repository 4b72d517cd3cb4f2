#pragma once

#include <QString>

namespace thermo4::ui {

class TfrmMain;

/// The main window's real-time commands: Run asks for the number of samples and the
/// rate and starts a recording into the real-time graph; Stop ends it.
class RealTimeRecording {
public:
    /// Rate (s) that replaces a rate of 00:00.
    static constexpr int kDefaultRate = 2;
    /// Samples whose recording period the set-up dialog shows when it opens.
    static constexpr int kPeriodSamples = 2000;
    /// Longest wait (ms) for a running poll tick before a recording is stopped.
    static constexpr int kPollWaitMs = 2500;

    static const QString kRunQuestion;

    /// Run (button and menu): nothing without a meter; offers to save samples already
    /// recorded, asks for count and rate, then starts the recording.
    static void Run(TfrmMain& main);
    /// Stop (button and menu, and a full graph): ends the recording, cuts the graph to the
    /// samples taken and shows the averages.
    static void Stop(TfrmMain& main);
    /// Marks the recording as ended: Run enabled while a meter is connected, Stop disabled.
    static void EndRecording(TfrmMain& main);
};

} // namespace thermo4::ui
