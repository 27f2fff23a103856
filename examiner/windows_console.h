#pragma once

// The examiner's console on Windows: its text, and whether its window stays
// open once the work is done.

#include <windows.h>

#include <array>
#include <memory>
#include <streambuf>

// Whether the examiner, its work done, keeps its console window open until a
// key is pressed: only when the console is its own alone (Explorer made it,
// for a double-click or files dropped on its icon: consoleProcessCount is 1)
// and both its input and its output are that console. In a Command Prompt, a
// script or a pipe, whose console it shares or has none of, it never waits.
bool KeepsConsoleOpen(unsigned long consoleProcessCount, bool inputIsConsole, bool outputIsConsole);

// Whether the standard handle (STD_INPUT_HANDLE and so on) is a console.
bool IsConsole(DWORD standardHandle);

// While it lives, std::cout and std::cerr, each where it is a console, write
// their UTF-8 text to it as UTF-16, so that every name shows right whatever
// the console's code page; to a file or a pipe they still write UTF-8 bytes.
// Its end flushes them and gives them back their own buffers.
class ConsoleText {
public:
    ConsoleText();
    ~ConsoleText();
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

private:
    std::array<std::unique_ptr<std::streambuf>, 2> consoles_;
    std::array<std::streambuf*, 2> own_{};
};

// Says "Press any key to close this window." and waits for a key of the
// console's input.
void WaitForKey();
