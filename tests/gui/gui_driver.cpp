// telvorn-gui-driver: runs the end-to-end GUI cases against telvorn.exe and
// prints a PASS or FAIL line for each, then "N passed, N failed".
//
//   telvorn-gui-driver OPTIONS cases [TEXT...]
//       every general case, or those whose names contain one of the texts;
//       needs no registry value and no CV.ini in the run folder.
//   telvorn-gui-driver OPTIONS first-folder SETTING FOLDER
//       the one game-folder case, in the registry and INI setting that
//       run-gui-tests.sh has made and names SETTING.
//
// OPTIONS: --program EXE --run-folder DIR --files-folder DIR
//          [--screenshots DIR] [--log FILE]

#include "tests/gui/gui_driver.h"

#include <cstdio>
#include <exception>

bool Check::Expect(bool condition, const std::string& what) {
    if (!condition) failures.push_back(what);
    return condition;
}

bool Check::ExpectText(const std::string& seen, const std::string& wanted, const std::string& what) {
    return Expect(seen == wanted, what + ": saw " + Quoted(seen) + ", wanted " + Quoted(wanted));
}

void Check::Require(bool condition, const std::string& what) {
    if (!Expect(condition, what)) throw CaseAbort{};
}

std::vector<GuiCase>& GuiCases() {
    static std::vector<GuiCase> cases;
    return cases;
}

std::string Quoted(const std::string& text) {
    std::string shown = "\"";
    for (const char letter : text) {
        char code[8];
        std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(letter));
        shown += letter == '\n' ? "\\n" : static_cast<unsigned char>(letter) < 0x20 ? code : std::string(1, letter);
    }
    return shown + "\"";
}

namespace {

FILE* logFile = nullptr;

void Print(const std::string& line) {
    for (FILE* out : {stdout, logFile})
        if (out != nullptr) {
            std::fprintf(out, "%s\n", line.c_str());
            std::fflush(out);
        }
}

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
    const bool passed = check.failures.empty();
    Print(std::string(passed ? "PASS " : "FAIL ") + guiCase.name + seconds);
    for (const std::string& failure : check.failures) Print("    " + failure);
    for (const std::string& note : check.notes) Print("    note: " + note);
    return passed;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        std::string* setting = argument == "--program"       ? &driverSettings.program
                               : argument == "--run-folder"   ? &driverSettings.runFolder
                               : argument == "--files-folder" ? &driverSettings.filesFolder
                               : argument == "--screenshots"  ? &driverSettings.screenshotFolder
                                                              : nullptr;
        if (i + 1 < argc && setting != nullptr)
            *setting = argv[++i];
        else if (i + 1 < argc && argument == "--log")
            logFile = std::fopen(argv[++i], "a");
        else
            words.push_back(argument);
    }
    if (driverSettings.program.empty() || driverSettings.runFolder.empty() || driverSettings.filesFolder.empty() ||
        words.empty() || !(words[0] == "cases" || (words[0] == "first-folder" && words.size() == 3))) {
        Print("usage: telvorn-gui-driver --program EXE --run-folder DIR --files-folder DIR [--screenshots DIR] "
              "[--log FILE] (cases [TEXT...] | first-folder SETTING FOLDER)");
        return 2;
    }
    std::vector<GuiCase> cases;
    if (words[0] == "first-folder") {
        const std::string folder = words[2];
        cases.push_back({"game folder, " + words[1] + ": the first file dialog opens in " +
                             (folder == "*" ? std::string("its own default folder") : folder),
                         [folder](Check& check) { CheckFirstFolder(check, folder); }});
    } else {
        for (const GuiCase& guiCase : GuiCases()) {
            bool selected = words.size() == 1;
            for (size_t i = 1; i < words.size(); ++i) selected |= guiCase.name.find(words[i]) != std::string::npos;
            if (selected) cases.push_back(guiCase);
        }
    }
    int passed = 0;
    int failed = 0;
    for (const GuiCase& guiCase : cases) (RunCase(guiCase) ? passed : failed) += 1;
    Print(std::to_string(passed) + " passed, " + std::to_string(failed) + " failed");
    if (logFile != nullptr) std::fclose(logFile);
    return failed == 0 && passed > 0 ? 0 : 1;
}
