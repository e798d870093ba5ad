// A process that makes one timed-launch request and ends at once.
//   timed_launch_helper DEVICE APPLICATION YEAR MONTH DAY HOUR MINUTE
// It does not wait for the request itself: ending the process must.
#include <cstdlib>

#include "platform/fs/Device.h"
#include "platform/shell/TimedLaunch.h"

int main(int argc, char** argv) {
    if (argc != 8 || !Device::Mount(argv[1])) return 2;
    SYSTEMTIME when{};
    when.wYear = static_cast<uint16_t>(std::atoi(argv[3]));
    when.wMonth = static_cast<uint16_t>(std::atoi(argv[4]));
    when.wDay = static_cast<uint16_t>(std::atoi(argv[5]));
    when.wHour = static_cast<uint16_t>(std::atoi(argv[6]));
    when.wMinute = static_cast<uint16_t>(std::atoi(argv[7]));
    return RunAppAtTime(argv[2], &when) ? 0 : 1;
}
