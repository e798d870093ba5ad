// The program as a user runs it, except that once its window is up it draws a stroke across
// the memo as the mouse would (not with QUILLO_NO_STROKE set) and says "ready" on its output;
// then it runs until told to end.
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/QuilloApp.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Stylus.h"
#include "platform/ui/View.h"

namespace {

void StrokeOnceTheViewIsUp() {
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
        CView* view = frame != nullptr ? frame->GetActiveView() : nullptr;
        if (view == nullptr || !view->IsWindow()) return;
        poll->stop();
        const UINT messages[] = {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP};
        for (int i = 0; i < 3 && std::getenv("QUILLO_NO_STROKE") == nullptr; ++i) {
            const CPoint point{10 + 45 * i, 50};
            const auto x = static_cast<int16_t>(point.x);
            const auto y = static_cast<int16_t>(point.y);
            SetStylusBatch({view->ClientToScreen(point)});
            view->SendMessage(messages[i], 1, MAKELPARAM(x, y));
        }
        std::printf("ready\n");
        std::fflush(stdout);
    });
    poll->start(20);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StrokeOnceTheViewIsUp)

int main(int argc, char** argv) {
    CQuilloApp theApp;
    return AfxWinMain(argc, argv);
}
