// telvorn-examine on Windows: reads its arguments as UTF-16, so that it
// takes every name whatever the system's code page, and hands them to the
// examiner as UTF-8; writes to a console as UTF-16; and keeps a console
// window of its own open until a key is pressed, so that the report of a
// double-click or of files dropped on its icon can be read.

#include <windows.h>

#include <string>
#include <vector>

#include "examiner/main.h"
#include "examiner/windows_console.h"
#include "gamefile/utf8_path.h"

// Windows shells hand wildcards such as maps\*.map to the program unexpanded:
// the runtime expands them before wmain, in UTF-16, as a Linux shell would.
extern "C" {
int _dowildcard = -1;
}

namespace {

// The arguments as Windows users write them: "/?" (or "-?") asks for the
// help; and "C:\My Maps\", whose last backslash the runtime reads as escaping
// the closing quote (C:\My Maps"), names the folder it stood for.
std::vector<std::string> Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        std::wstring argument = argv[i];
        if (argument == L"/?" || argument == L"-?")
            argument = L"--help";
        else if (argument.ends_with(L'"') && GetFileAttributesW(argument.c_str()) == INVALID_FILE_ATTRIBUTES)
            argument.back() = L'\\';
        arguments.push_back(Utf8Text(argument));  // as UTF-8, as every name found in a folder is
    }
    return arguments;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const ConsoleText console;
    DWORD processes[2];
    const bool ownConsole = KeepsConsoleOpen(GetConsoleProcessList(processes, 2), IsConsole(STD_INPUT_HANDLE),
                                             IsConsole(STD_OUTPUT_HANDLE));
    std::vector<std::string> arguments = Arguments(argc, argv);
    // A double-click gives nothing to examine: the help says what it can do.
    if (arguments.empty() && ownConsole) arguments = {"--help"};
    const int status = ExamineCommandLine(arguments);
    if (ownConsole) WaitForKey();
    return status;
}
