#include "Idle.h"

#include <QCoreApplication>
#include <QTimer>

#include "platform/ui/WinApp.h"

namespace {

bool gPending = false;

}  // namespace

void ScheduleIdleUpdate() {
    if (gPending || QCoreApplication::instance() == nullptr) {
        return;
    }
    gPending = true;
    QTimer::singleShot(0, [] {
        gPending = false;
        if (CWinApp* app = AfxGetApp()) app->OnIdle();
    });
}
