#include "Scenario.h"

#include <QApplication>

#include "platform/shell/Screen.h"
#include "platform/ui/KeyTranslation.h"
#include "platform/ui/Stylus.h"
#include "platform/ui/Wnd.h"

void EnsureToolkit() {
    static QApplication* toolkit = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "quillo-tests";
        static char* argv[] = {name, nullptr};
        auto* created = new QApplication(argc, argv);
        QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
        QCoreApplication::setAttribute(Qt::AA_CompressTabletEvents, false);
        QApplication::setQuitOnLastWindowClosed(false);
        InstallKeyTranslation();
        return created;
    }();
    (void)toolkit;
}

std::string DescribeModalRun(const ModalRun& run) {
    switch (run.kind) {
        case ModalRun::Kind::Dialog:
            return "dialog \"" + run.caption + "\"";
        case ModalRun::Kind::MessageBox:
            return "message box \"" + run.text + "\"";
        case ModalRun::Kind::PopupMenu:
            return "pop-up menu";
        case ModalRun::Kind::FileDialog:
            return "file dialog \"" + run.caption + "\"";
        case ModalRun::Kind::ColorDialog:
            return "colour dialog";
    }
    return "modal run";
}

void CancelModalRun(ModalRun& run) {
    switch (run.kind) {
        case ModalRun::Kind::Dialog:
            run.Press(IDCANCEL);
            break;
        case ModalRun::Kind::MessageBox:
            run.Answer((run.type & MB_YESNO) != 0 ? IDNO : IDOK);
            break;
        case ModalRun::Kind::PopupMenu:
            run.Answer(0);
            break;
        case ModalRun::Kind::FileDialog:
        case ModalRun::Kind::ColorDialog:
            run.Answer(IDCANCEL);
            break;
    }
}

void ScenarioTest::SetUp() {
    EnsureToolkit();
    m_device = std::make_unique<TempDevice>();
    m_launches = std::make_unique<LaunchRecorder>();
    SetSoundOutput([this](const SoundRequest& request) { m_sounds.push_back(request); });
    SetClock(2009, 1, 13, 15, 30);
    SetScreen(240, 320);
    SetModalHandler([this](ModalRun& run) {
        ++m_modalRunsSeen;
        if (m_answers.empty()) {
            ADD_FAILURE() << "nothing answered the " << DescribeModalRun(run);
            CancelModalRun(run);
            return;
        }
        auto answer = std::move(m_answers.front());
        m_answers.pop_front();
        answer(run);
    });
    SetUnansweredModalReporter([](const ModalRun& run) {
        ADD_FAILURE() << "the " << DescribeModalRun(run) << " was left without an answer";
    });
}

void ScenarioTest::TearDown() {
    SetModalHandler(nullptr);
    SetUnansweredModalReporter(nullptr);
    ProcessEvents();
    SetScreenOverride({0, 0});
    SetFixedLocalTime(nullptr);
    m_launches.reset();
    SetSoundOutput(nullptr);
    m_device.reset();
}

void ScenarioTest::ExpectModal(std::function<void(ModalRun&)> answer) {
    m_answers.push_back(std::move(answer));
}

void ScenarioTest::ExpectMessage(const std::string& text) {
    ExpectModal([text](ModalRun& run) {
        EXPECT_EQ(run.text, text);
        run.Answer(IDOK);
    });
}

void ScenarioTest::ExpectAllModalsAnswered() {
    EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " expected modal runs never came";
}

void ScenarioTest::SetClock(int year, int month, int day, int hour, int minute, int second,
                            int millisecond) {
    SYSTEMTIME time{static_cast<uint16_t>(year),   static_cast<uint16_t>(month),
                    DayOfWeek(year, month, day),   static_cast<uint16_t>(day),
                    static_cast<uint16_t>(hour),   static_cast<uint16_t>(minute),
                    static_cast<uint16_t>(second), static_cast<uint16_t>(millisecond)};
    SetFixedLocalTime(&time);
}

void ScenarioTest::SetScreen(int width, int height) {
    SetScreenOverride({width, height});
}

void ScenarioTest::SendCommand(CWnd* window, UINT id) {
    window->SendMessage(WM_COMMAND, id);
}

void ScenarioTest::Pen(CWnd* window, UINT message, CPoint client, const std::vector<CPoint>& raw) {
    SetStylusBatch(raw);
    window->SendMessage(message, 1,
                        MAKELPARAM(static_cast<int16_t>(client.x), static_cast<int16_t>(client.y)));
}

void ScenarioTest::Key(CWnd* target, UINT virtualKey, UINT modifiers) {
    PressKey(target, virtualKey, modifiers);
}

void ScenarioTest::ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}
