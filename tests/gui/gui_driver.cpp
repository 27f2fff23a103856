// telvorn-gui-driver's entry: GoogleTest's, with its output unbuffered so
// that the log shows how far a run came when telvorn.exe or the driver crashes.

#include <cstdio>

#include "tests/gui/gui_driver.h"

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
