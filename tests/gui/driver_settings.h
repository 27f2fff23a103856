#pragma once

// Where the driver finds the program and keeps its files, given on its
// command line by run-gui-tests.sh. All are Windows paths without a
// trailing backslash.

#include <string>

struct DriverSettings {
    std::string program;      // telvorn.exe
    std::string runFolder;    // the program's current directory
    std::string filesFolder;  // game files that the cases write
    std::string screenshotFolder;  // BMP captures; empty: none are taken
};

inline DriverSettings driverSettings;
