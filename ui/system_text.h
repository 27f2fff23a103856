#pragma once

// The window program's texts come from and go to the A calls, in the
// system's code page: UTF-8 where Windows honours the program's manifest
// (Windows 10 1903 and later), the system's own code page before.

#include <string>

// A path of the A calls as the examination core takes it, UTF-8: the same
// text under a UTF-8 code page, converted from the system's otherwise.
std::string CorePath(const std::string& systemText);
