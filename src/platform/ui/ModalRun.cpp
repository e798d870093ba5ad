#include "ModalRun.h"

#include <QApplication>

#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBoxWindow.h"
#include "platform/ui/ScreenArea.h"
#include "platform/ui/WinApp.h"

namespace {

ModalHandler gHandler;
int gModalDepth = 0;
std::function<void(const ModalRun&)> gReporter;

}  // namespace

ModalRunScope::ModalRunScope(QWidget* window) : m_waiting(window) {
    ++gModalDepth;
}

ModalRunScope::~ModalRunScope() {
    --gModalDepth;
}

bool IsModalRunActive() {
    return gModalDepth > 0;
}

void SetModalHandler(ModalHandler handler) {
    gHandler = std::move(handler);
}

bool HasModalHandler() {
    return static_cast<bool>(gHandler);
}

void SetUnansweredModalReporter(std::function<void(const ModalRun&)> reporter) {
    gReporter = std::move(reporter);
}

void HandleModalRun(ModalRun& run) {
    // A handler that opens another modal run inside this one gets that run too.
    gHandler(run);
    if (run.kind == ModalRun::Kind::Dialog ? run.IsOpen() : !run.Answered()) {
        if (gReporter) gReporter(run);
        if (run.kind == ModalRun::Kind::Dialog) {
            run.dialog->EndDialog(IDCANCEL);
        } else {
            int fallback = 0;
            if (run.kind == ModalRun::Kind::MessageBox)
                fallback = (run.type & MB_YESNO) ? IDNO : IDOK;
            if (run.kind == ModalRun::Kind::FileDialog || run.kind == ModalRun::Kind::ColorDialog) {
                fallback = IDCANCEL;
            }
            run.Answer(fallback);
        }
    }
}

void ModalRun::Press(int id) {
    if (kind != Kind::Dialog || !IsOpen()) return;
    dialog->PressButton(id);
}

void ModalRun::Answer(int result) {
    m_result = result;
    m_answered = true;
}

void ModalRun::AnswerPath(std::string_view devicePath) {
    m_path = devicePath;
    Answer(IDOK);
}

void ModalRun::AnswerColor(uint32_t chosen) {
    m_color = chosen;
    Answer(IDOK);
}

bool ModalRun::IsOpen() const {
    return kind == Kind::Dialog ? dialog != nullptr && dialog->IsModalRunning() : !m_answered;
}

bool ModalRun::ProcessEventsUntil(const std::function<bool()>& done) {
    for (int round = 0; round < 100000; ++round) {
        if (done()) return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return done();
}

namespace {

// A message box is a dialog window like any other: while it is up it is the active window.
class CMessageBoxWnd : public CWnd {
  public:
    bool IsDialog() const override { return true; }
};

}  // namespace

int RunMessageBox(CWnd* owner, std::string_view text, std::string_view caption, UINT type) {
    const std::string title = caption.empty() ? AfxGetAppName() : std::string(caption);
    CWnd* previous = CWnd::GetActiveWindow();
    const bool owned = owner != nullptr && owner->IsWindow();
    MessageBoxWindow box(ParentForNewWindow(owned ? owner->GetWidget() : nullptr),
                         QString::fromStdString(title), text, type);
    const QRect screen = ScreenAreaFor(owner);
    box.Fit(screen, owned ? WindowRectOf(owner) : screen);
    CMessageBoxWnd window;
    window.Attach(&box, owner, 0);
    const ModalRunScope modal(&box);
    SetActiveWindowTracked(&window);
    int result = IDOK;
    if (HasModalHandler()) {
        ModalRun run;
        run.kind = ModalRun::Kind::MessageBox;
        run.text = text;
        run.caption = title;
        run.type = type;
        run.window = window.GetWindowRect();
        // On the screen as a user finds it: a press of one of its buttons answers it.
        const QMetaObject::Connection pressed =
            QObject::connect(&box, &QDialog::finished, [&run](int answer) { run.Answer(answer); });
        box.show();
        HandleModalRun(run);
        QObject::disconnect(pressed);
        result = run.Result();
    } else {
        result = box.Run();
    }
    SetActiveWindowTracked(previous != nullptr && previous->IsWindow() ? previous : nullptr);
    return result;
}

int AfxMessageBox(std::string_view text, UINT type) {
    // Owned by the window the user works in, a dialog's message opens over that dialog.
    CWnd* active = CWnd::GetActiveWindow();
    return RunMessageBox(active != nullptr && active->IsWindow() ? active : AfxGetMainWnd(), text,
                         {}, type);
}

int CWnd::MessageBox(std::string_view text, std::string_view caption, UINT type) {
    return RunMessageBox(this, text, caption, type);
}
