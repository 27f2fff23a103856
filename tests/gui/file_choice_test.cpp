// What the file dialog remembers and what the program makes of a choice:
// the game folder in which the first dialog opens, one folder shared by
// both kinds, a name for each kind, lower-cased paths, and paths longer than
// 127 characters. (A name typed without extension is not among them: Wine's
// dialog refuses it as missing before it adds the default extension, where
// Windows adds it first.)

#include "tests/gui/gui_driver.h"

#include <commdlg.h>

namespace {

// Asks the file dialog a CDM_ question. It writes the answer through a
// pointer of its own process, so the answer is read from there.
std::string AskFileDialog(const TelvornProcess& program, HWND dialog, UINT message) {
    constexpr SIZE_T size = 2048;
    void* const reply = VirtualAllocEx(program.Handle(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (reply == nullptr) return {};
    std::string text(size, '\0');
    DWORD_PTR length = 0;
    SIZE_T read = 0;
    if (!SendMessageTimeoutA(dialog, message, size, reinterpret_cast<LPARAM>(reply), SMTO_ABORTIFHUNG, 5000,
                             &length) ||
        static_cast<LONG_PTR>(length) < 0 || !ReadProcessMemory(program.Handle(), reply, text.data(), size, &read))
        read = 0;
    VirtualFreeEx(program.Handle(), reply, 0, MEM_RELEASE);
    text.resize(strnlen(text.c_str(), read));
    return text;
}

// A folder below the files folder, made with all its parents; its path
// ends with a backslash.
std::string MadeFolder(Check& check, const std::string& relative) {
    const std::string folder = FixturePath(relative) + "\\";
    for (size_t end = folder.find('\\', 3); end != std::string::npos; end = folder.find('\\', end + 1))
        CreateDirectoryA(folder.substr(0, end).c_str(), nullptr);
    check.Require(GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES, "folder can be made: " + folder);
    return folder;
}

void ExpectDialogStartsIn(Check& check, TelvornProcess& program, HWND dialog, const std::string& folder,
                          const std::string& name, const std::string& when) {
    // Folders compared as the file system does: either case, a trailing backslash or none.
    const auto plain = [](std::string path) {
        while (path.size() > 1 && path.back() == '\\') path.pop_back();
        return LowerCased(path);
    };
    const std::string shown = AskFileDialog(program, dialog, CDM_GETFOLDERPATH);
    check.Expect(plain(shown) == plain(folder), when + ": the dialog opens in " + Quoted(folder) + ", not " + Quoted(shown));
    check.ExpectText(AskFileDialog(program, dialog, CDM_GETSPEC), name, when + ": the file name box");
}

// Chooses the name or path in the open file dialog and expects the error
// box for the file of the kind at path, of version 0.
void ExpectVersionZero(Check& check, TelvornProcess& program, HWND dialog, const ExamineKind& kind,
                       const std::string& choice, const std::string& path) {
    const HWND answer = ChooseFile(program, dialog, choice);
    check.Require(answer != nullptr, "a window answers the choice of " + Quoted(choice));
    ExpectFileError(check, program, answer, FileErrorText(kind, LowerCased(path), UnsupportedVersion));
}

}  // namespace

void CheckFirstFolder(Check& check, const std::string& expectedFolder) {
    TelvornProcess program;
    const HWND dialog = OpenFileDialog(check, program, MapKind);
    const std::string shown = AskFileDialog(program, dialog, CDM_GETFOLDERPATH);
    std::string folder = expectedFolder;
    if (expectedFolder == "*") {
        check.Require(!shown.empty(), "the dialog shows a folder");
        folder = LowerCased(shown) + (shown.back() == '\\' ? "" : "\\");
        check.notes.push_back("the dialog's default folder: " + shown);
    }
    ExpectDialogStartsIn(check, program, dialog, folder, "", "the first dialog");
    // A file of version 0, whose error text shows the full path examined.
    const std::string probe = folder + "folder-probe.map";
    RequireWritten(check, probe, SmallMap(0));
    ExpectVersionZero(check, program, dialog, MapKind, "folder-probe.map", probe);
    DeleteFileA(probe.c_str());
}

GUI_CASE(SharedFolderSeparateNames, "file choice: both kinds share the remembered folder, each keeps its own name") {
    const std::string first = MadeFolder(check, "shared-first");
    const std::string second = MadeFolder(check, "shared-second");
    RequireWritten(check, first + "first.map", SmallMap(0));
    RequireWritten(check, second + "second.scn", SmallScenario(0));
    TelvornProcess program;
    ExpectVersionZero(check, program, OpenFileDialog(check, program, MapKind), MapKind, first + "first.map",
                      first + "first.map");

    HWND dialog = OpenFileDialog(check, program, ScenarioKind);
    ExpectDialogStartsIn(check, program, dialog, first, "", "Examine Scenario after a map");
    ExpectVersionZero(check, program, dialog, ScenarioKind, second + "second.scn", second + "second.scn");

    dialog = OpenFileDialog(check, program, MapKind);
    ExpectDialogStartsIn(check, program, dialog, second, "first.map", "Examine Map after a scenario");
    ClickButton(dialog, IDCANCEL);
    check.Expect(WaitUntilClosed(dialog), "Cancel closes the map dialog");

    dialog = OpenFileDialog(check, program, ScenarioKind);
    ExpectDialogStartsIn(check, program, dialog, second, "second.scn", "Examine Scenario after a cancelled map");
    // A bare name is looked for in the folder the dialog shows.
    ExpectVersionZero(check, program, dialog, ScenarioKind, "second.scn", second + "second.scn");
}

GUI_CASE(ChosenPathLowerCased, "file choice: a chosen path with capitals is examined and remembered lower-cased") {
    const std::string path = MadeFolder(check, "Mixed Case\\Maps") + "World.MAP";
    RequireWritten(check, path, SmallMap(2));
    TelvornProcess program;
    const HWND answer = ExamineThroughMenu(check, program, MapKind, path);
    ExpectFileError(check, program, answer, FileErrorText(MapKind, LowerCased(path), NewerVersion));
    ExpectDialogStartsIn(check, program, OpenFileDialog(check, program, MapKind), path.substr(0, path.rfind('\\')),
                         "world.map", "the next map dialog");
}

GUI_CASE(LongPathExaminedOrRefused, "file choice: a path longer than 127 characters is examined or refused aloud") {
    const std::string path = MadeFolder(check, "a-folder-whose-name-takes-up-many-characters-of-the-path\\"
                                               "and-another-one-below-it-so-that-the-path-passes-the-old-limit") +
                             "Long-Path-Version-2.MAP";
    check.Require(path.size() > 127 && path.size() < 240,
                  "the path is longer than 127 characters and fits the platform: " + std::to_string(path.size()));
    RequireWritten(check, path, SmallMap(2));
    TelvornProcess program;
    const HWND answer = ExamineThroughMenu(check, program, MapKind, path);
    check.Expect(GetWindow(answer, GW_OWNER) == program.MainWindow(), "the program itself answers the long path");
    const std::string text = ControlText(answer, MessageBoxTextId);
    if (text.rfind("Error loading Map file\n", 0) == 0) {
        check.notes.push_back("examined: " + std::to_string(path.size()) + " characters");
        ExpectFileError(check, program, answer, FileErrorText(MapKind, LowerCased(path), NewerVersion));
    } else {
        check.notes.push_back("refused with: " + Quoted(text));
        check.Expect(!text.empty(), "the refusal says why");
        ClickButton(answer, IDOK);
    }
}
