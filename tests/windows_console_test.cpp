// The Windows examiner's decision to keep its console window open once its work is done, which a test can only
// make as a decision: a wait for a key would hang it.

#include <gtest/gtest.h>

#include "examiner/windows_console.h"

TEST(KeepsConsoleOpen, OnlyWhereItHasAConsoleOfItsOwnForInputAndOutput) {
    const struct {
        const char* startedBy;
        unsigned long consoleProcesses;
        bool inputIsConsole, outputIsConsole, waits;
    } cases[] = {
        {"Explorer: a double-click, or files dropped on the icon", 1, true, true, true},
        {"a Command Prompt, or a script in it", 2, true, true, false},
        {"a pipeline of a Command Prompt", 3, true, true, false},
        {"a program without a console", 0, false, false, false},
        {"a program with a console of its own but a file as input", 1, false, true, false},
        {"a program with a console of its own but a pipe as output", 1, true, false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeepsConsoleOpen(c.consoleProcesses, c.inputIsConsole, c.outputIsConsole), c.waits) << c.startedBy;
    // This test runs from a script, its output to a pipe.
    DWORD processes[2];
    EXPECT_FALSE(KeepsConsoleOpen(GetConsoleProcessList(processes, 2), IsConsole(STD_INPUT_HANDLE),
                                  IsConsole(STD_OUTPUT_HANDLE)));
}
