// A second process for the single-instance tests.
//   instance_helper serve DEVICE TITLE LOG [--expect-uid UID]
// publishes TITLE for the device, appends each request it handles to LOG, and prints
// "ready" once it listens; it runs until killed.
#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/fs/Device.h"
#include "platform/shell/SingleInstance.h"

int main(int argc, char** argv) {
    if (argc < 5 || std::strcmp(argv[1], "serve") != 0) return 2;
    QCoreApplication app(argc, argv);
    if (!Device::Mount(argv[2])) return 3;
    if (argc >= 7 && std::strcmp(argv[5], "--expect-uid") == 0) {
        SetExpectedPeerUidForTesting(static_cast<uid_t>(std::strtoul(argv[6], nullptr, 10)));
    }
    const std::string log = argv[4];
    auto server = InstanceServer::Publish(argv[3], [&log](InstanceRequest request, uint32_t value,
                                                          const LaunchActivation& activation) {
        // Take a moment, so that a sender that did not wait would see nothing yet.
        QThread::msleep(200);
        std::string line = "command " + std::to_string(value);
        if (request == InstanceRequest::BringToFront) {
            line = "front";
            if (activation != LaunchActivation{})
                line += " [" + activation.xdgActivationToken + "][" + activation.startupId + "]";
        }
        std::ofstream(log, std::ios::app) << line << "\n";
    });
    if (!server) {
        std::puts("taken");
        return 4;
    }
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
