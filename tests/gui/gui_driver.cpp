// telvorn-gui-driver: runs the end-to-end GUI cases against telvorn.exe and
// prints a PASS or FAIL line for each, then "N passed, N failed".
//
//   telvorn-gui-driver OPTIONS cases [TEXT...]
//       every general case, or those whose names contain one of the texts;
//       needs no registry value and no CV.ini in the run folder.
//   telvorn-gui-driver OPTIONS first-folder SETTING FOLDER
//       the one game-folder case: the first file dialog opens in FOLDER
//       (lower case, ending with a backslash) in the registry and INI
//       setting that run-gui-tests.sh has made and names SETTING.
//
// OPTIONS: --program EXE --run-folder DIR --files-folder DIR
//          [--screenshots DIR] [--log FILE]

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/gui/driver_settings.h"
#include "tests/gui/game_folder_test.h"
#include "tests/gui/gui_check.h"

namespace {

FILE* logFile = nullptr;

void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (logFile != nullptr) {
        std::fprintf(logFile, "%s\n", line.c_str());
        std::fflush(logFile);
    }
}

// Runs one case and prints its result; true when it passed.
bool RunCase(const GuiCase& guiCase) {
    Check check;
    const DWORD start = GetTickCount();
    try {
        guiCase.run(check);
    } catch (const CaseAbort&) {
        // The failure that ended the case is recorded.
    } catch (const std::exception& error) {
        check.Expect(false, std::string("unexpected exception: ") + error.what());
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, " (%.1f s)", (GetTickCount() - start) / 1000.0);
    const bool passed = check.Failures().empty();
    Print(std::string(passed ? "PASS " : "FAIL ") + guiCase.name + seconds);
    for (const std::string& failure : check.Failures()) Print("    " + failure);
    for (const std::string& note : check.Notes()) Print("    note: " + note);
    return passed;
}

bool Selected(const GuiCase& guiCase, const std::vector<std::string>& texts) {
    if (texts.empty()) return true;
    for (const std::string& text : texts)
        if (guiCase.name.find(text) != std::string::npos) return true;
    return false;
}

int Usage() {
    Print("usage: telvorn-gui-driver --program EXE --run-folder DIR --files-folder DIR [--screenshots DIR] "
          "[--log FILE] (cases [TEXT...] | first-folder SETTING FOLDER)");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--program" && hasValue)
            driverSettings.program = argv[++i];
        else if (argument == "--run-folder" && hasValue)
            driverSettings.runFolder = argv[++i];
        else if (argument == "--files-folder" && hasValue)
            driverSettings.filesFolder = argv[++i];
        else if (argument == "--screenshots" && hasValue)
            driverSettings.screenshotFolder = argv[++i];
        else if (argument == "--log" && hasValue)
            logFile = std::fopen(argv[++i], "a");
        else
            words.push_back(argument);
    }
    if (words.empty() || driverSettings.program.empty() || driverSettings.runFolder.empty() ||
        driverSettings.filesFolder.empty())
        return Usage();

    std::vector<GuiCase> cases;
    if (words[0] == "cases") {
        const std::vector<std::string> texts(words.begin() + 1, words.end());
        for (const GuiCase& guiCase : GuiCases())
            if (Selected(guiCase, texts)) cases.push_back(guiCase);
    } else if (words[0] == "first-folder" && words.size() == 3) {
        const std::string folder = words[2];
        const std::string where = folder == "*" ? std::string("its own default folder") : folder;
        cases.push_back({"game folder, " + words[1] + ": the first file dialog opens in " + where,
                         [folder](Check& check) { CheckFirstFolder(check, folder); }});
    } else {
        return Usage();
    }

    int passed = 0;
    int failed = 0;
    for (const GuiCase& guiCase : cases) (RunCase(guiCase) ? passed : failed) += 1;
    Print(std::to_string(passed) + " passed, " + std::to_string(failed) + " failed");
    if (logFile != nullptr) std::fclose(logFile);
    return failed == 0 && passed > 0 ? 0 : 1;
}
