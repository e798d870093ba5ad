#include <QApplication>
#include <QSessionManager>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/fs/Device.h"
#include "platform/shell/Screen.h"
#include "platform/shell/ProgramOptions.h"
#include "platform/shell/Termination.h"
#include "platform/shell/TimedLaunch.h"
#include "platform/ui/KeyTranslation.h"
#include "platform/ui/ToolkitTranslation.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/Wnd.h"

namespace {

void PrintUsage(const char* program) {
    std::printf(
        "Usage: %s [--device DIR] [--screen WIDTHxHEIGHT] [FILE]\n"
        "\n"
        "  --device DIR           keep the registry and files in DIR\n"
        "                         (default: $XDG_DATA_HOME/Quillo or ~/.local/share/Quillo)\n"
        "  --screen WIDTHxHEIGHT  act as a device with this screen, e.g. 240x320 (portrait)\n"
        "  --timed-launch         start the program for the device's alarm once the\n"
        "                         desktop is there (what the system's timer runs)\n"
        "  --help                 show this text\n",
        program);
}

}  // namespace

int AfxWinMain(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    std::string device = Device::DefaultDirectory();
    std::vector<std::string> commandWords;
    bool timedLaunch = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--help" || word == "-h") {
            PrintUsage(argv[0]);
            return 0;
        }
        if ((word == kDeviceOption || word == kScreenOption) && i + 1 >= argc) {
            std::fprintf(stderr, "%s: %s needs a value\n", argv[0], word.c_str());
            return 2;
        }
        if (word == kTimedLaunchOption) {
            timedLaunch = true;
        } else if (word == kDeviceOption) {
            device = argv[++i];
        } else if (word == kScreenOption) {
            CSize size;
            if (!ParseScreenSize(argv[++i], size)) {
                std::fprintf(stderr, "%s: --screen wants WIDTHxHEIGHT, such as 240x320\n", argv[0]);
                return 2;
            }
            SetScreenOverride(size);
        } else {
            // The framework skips a switch it does not know; it is said, not lost quietly.
            if (word.size() > 1 && word.front() == '-') {
                std::fprintf(stderr, "%s: unknown option %s (ignored)\n", argv[0], word.c_str());
            }
            commandWords.push_back(word);
        }
    }
    if (Device::IsFileSystemRoot(device)) {
        std::fprintf(stderr, "%s: ファイルシステムのルートはデバイスのフォルダにできません: %s\n",
                     argv[0], device.c_str());
        return 2;
    }
    // Past a file-size limit a write must fail and be handled like a full disk, not end the
    // program and lose what it holds.
    ::signal(SIGXFSZ, SIG_IGN);
    if (!Device::Mount(device)) {
        std::fprintf(stderr, "%s: cannot use the device directory %s\n", argv[0], device.c_str());
        return 1;
    }
    if (timedLaunch) return RunTimedLaunch();
    QApplication toolkit(argc, argv);
    // Every stylus sample must reach the view, not only the last of a burst. Set once the
    // toolkit exists: its construction turns motion compression back on, and its X11 input
    // then drops every pointer motion that has a later one waiting.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QCoreApplication::setAttribute(Qt::AA_CompressTabletEvents, false);
    (void)InstallToolkitTranslation();  // without it the toolkit's own buttons stay English
    QApplication::setQuitOnLastWindowClosed(false);
    InstallKeyTranslation();
    app->SetCommandLine(std::move(commandWords));
    int exitCode = 0;
    if (app->InitInstance()) {
        StartTimedLaunchWatch();
        // Handled in the event loop, never in the signal handler: save, then end normally.
        SetTerminationRequestHandler([app] {
            app->OnEndSession();
            AfxPostQuitMessage(0);
        });
        QObject::connect(&toolkit, &QGuiApplication::commitDataRequest,
                         [app](QSessionManager&) { app->OnEndSession(); });
        exitCode = app->Run();
    } else {
        exitCode = app->ExitInstance();
    }
    // Told to end (a signal, the session ending), the program leaves its loop with its window
    // still up: take it down while the toolkit that holds its widgets is still there.
    if (CWnd* main = app->m_pMainWnd; main != nullptr && main->IsWindow()) main->DestroyWindow();
    // A request made just before the end (an alarm launch re-notifying) must still reach
    // the system.
    FinishTimedLaunchRequests();
    return exitCode;
}
