#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Time.h"
#include "platform/gdi/Geometry.h"
#include "platform/shell/Sound.h"
#include "platform/ui/ModalRun.h"
#include "support/LaunchRecorder.h"
#include "support/TempDevice.h"

class CWnd;

// Starts the toolkit once for the whole test program, offscreen, with every stylus sample
// delivered and key presses going through pre-translation.
void EnsureToolkit();

// A test that drives the whole framework: a device of its own, a set clock and screen, and
// every modal run (dialog, message box, pop-up menu, file dialog) answered by the next of
// the answers the test queued. A run that finds no answer fails the test and is cancelled,
// so nothing ever waits for a person.
class ScenarioTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The answer for the next modal run, in the order they come.
    void ExpectModal(std::function<void(ModalRun&)> answer);
    // The next modal run is a message showing `text`; it is answered OK.
    void ExpectMessage(const std::string& text);
    // Every queued answer was used.
    void ExpectAllModalsAnswered();
    int ModalRunsSeen() const { return m_modalRunsSeen; }

    void SetClock(int year, int month, int day, int hour, int minute, int second = 0,
                  int millisecond = 0);
    void SetScreen(int width, int height);

    void SendCommand(CWnd* window, UINT id);
    // A pen event with the raw samples that come with it.
    void Pen(CWnd* window, UINT message, CPoint client, const std::vector<CPoint>& raw);
    void Key(CWnd* target, UINT virtualKey, UINT modifiers = 0);
    // Runs what the toolkit has queued: paints, deferred deletions, idle updates.
    static void ProcessEvents();

    std::unique_ptr<TempDevice> m_device;
    // What the program asked of the system's timed launch; nothing of it reaches the system.
    std::unique_ptr<LaunchRecorder> m_launches;
    // What the program asked the speakers to play; nothing is heard.
    std::vector<SoundRequest> m_sounds;

  private:
    std::deque<std::function<void(ModalRun&)>> m_answers;
    int m_modalRunsSeen = 0;
};

std::string DescribeModalRun(const ModalRun& run);
// Ends a run as cancel, "no", or no command.
void CancelModalRun(ModalRun& run);
