#include "app/QuilloApp.h"

int main(int argc, char** argv) {
    CQuilloApp theApp;
    return AfxWinMain(argc, argv);
}
