// The framework demonstration as a program of its own, for a look under a real X server.
#include "Demo.h"

int main(int argc, char** argv) {
    demo::DemoApp app;
    return AfxWinMain(argc, argv);
}
