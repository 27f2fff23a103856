// What the file dialog remembers and what the program makes of a choice:
// one folder shared by both kinds, a name for each kind, lower-cased paths,
// and paths longer than 127 characters. (A name typed without extension is
// not among them: Wine's dialog refuses it as missing before it adds the
// default extension, where Windows adds it first.)

#include <windows.h>

#include <string>

#include "tests/gui/driver_settings.h"
#include "tests/gui/file_dialog.h"
#include "tests/gui/game_fixtures.h"
#include "tests/gui/gui_check.h"
#include "tests/gui/menu_examination.h"
#include "tests/gui/telvorn_process.h"
#include "tests/gui/windows_seen.h"

namespace {

// A folder below the files folder, made with all its parents; its path
// ends with a backslash.
std::string MadeFolder(Check& check, const std::string& relative) {
    std::string folder = driverSettings.filesFolder;
    size_t start = 0;
    while (start < relative.size()) {
        size_t end = relative.find('\\', start);
        if (end == std::string::npos) end = relative.size();
        folder.push_back('\\');
        folder.append(relative, start, end - start);
        CreateDirectoryA(folder.c_str(), nullptr);
        start = end + 1;
    }
    check.Require(GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES, "folder can be made: " + folder);
    return folder + "\\";
}

filemaker::GameFile WithVersion(filemaker::GameFile file, int version) {
    file.version = static_cast<uint8_t>(version);
    return file;
}

void ExpectDialogStartsIn(Check& check, TelvornProcess& program, HWND dialog, const std::string& folder,
                          const std::string& name, const std::string& when) {
    const std::string shown = FileDialogFolder(program, dialog);
    check.Expect(SameFolder(shown, folder), when + ": the dialog opens in " + Quoted(folder) + ", not " + Quoted(shown));
    check.ExpectText(FileDialogName(program, dialog), name, when + ": the file name box");
}

}  // namespace

GUI_CASE(SharedFolderSeparateNames, "file choice: both kinds share the remembered folder, each keeps its own name") {
    const std::string first = MadeFolder(check, "shared-first");
    const std::string second = MadeFolder(check, "shared-second");
    check.Require(WriteFixture(first + "first.map", MapWithVersion(0)) &&
                      WriteFixture(second + "second.scn", WithVersion(FiguresScenario(), 0)),
                  "the game files can be written");
    TelvornProcess program;

    HWND answer = ExamineThroughMenu(check, program, MapKind, first + "first.map");
    ExpectFileError(check, program, answer, FileErrorText(MapKind, LowerCased(first) + "first.map", UnsupportedVersion));

    HWND dialog = OpenFileDialog(check, program, ScenarioKind);
    ExpectDialogStartsIn(check, program, dialog, first, "", "Examine Scenario after a map");
    answer = ChooseFile(program, dialog, second + "second.scn");
    check.Require(answer != nullptr, "a window answers the scenario");
    ExpectFileError(check, program, answer,
                    FileErrorText(ScenarioKind, LowerCased(second) + "second.scn", UnsupportedVersion));

    dialog = OpenFileDialog(check, program, MapKind);
    ExpectDialogStartsIn(check, program, dialog, second, "first.map", "Examine Map after a scenario");
    CancelFileDialog(dialog);
    check.Expect(TelvornProcess::WaitUntilClosed(dialog), "Cancel closes the map dialog");

    dialog = OpenFileDialog(check, program, ScenarioKind);
    ExpectDialogStartsIn(check, program, dialog, second, "second.scn", "Examine Scenario after a cancelled map");
    // A bare name is looked for in the folder the dialog shows.
    answer = ChooseFile(program, dialog, "second.scn");
    check.Require(answer != nullptr, "a window answers the bare name");
    ExpectFileError(check, program, answer,
                    FileErrorText(ScenarioKind, LowerCased(second) + "second.scn", UnsupportedVersion));
}

GUI_CASE(ChosenPathLowerCased, "file choice: a chosen path with capitals is examined and remembered lower-cased") {
    const std::string folder = MadeFolder(check, "Mixed Case\\Maps");
    check.Require(WriteFixture(folder + "World.MAP", MapWithVersion(2)), "the game file can be written");
    TelvornProcess program;
    const HWND answer = ExamineThroughMenu(check, program, MapKind, folder + "World.MAP");
    ExpectFileError(check, program, answer, FileErrorText(MapKind, LowerCased(folder + "World.MAP"), NewerVersion));
    const HWND dialog = OpenFileDialog(check, program, MapKind);
    ExpectDialogStartsIn(check, program, dialog, folder, "world.map", "the next map dialog");
}

GUI_CASE(LongPathExaminedOrRefused, "file choice: a path longer than 127 characters is examined or refused aloud") {
    const std::string folder =
        MadeFolder(check, "a-folder-whose-name-takes-up-many-characters-of-the-path\\"
                          "and-another-one-below-it-so-that-the-path-passes-the-old-limit");
    const std::string path = folder + "Long-Path-Version-2.MAP";
    check.Require(path.size() > 127 && path.size() < 240,
                  "the path is longer than 127 characters and fits the platform: " + std::to_string(path.size()));
    check.Require(WriteFixture(path, MapWithVersion(2)), "the game file can be written");
    TelvornProcess program;
    const HWND answer = ExamineThroughMenu(check, program, MapKind, path);
    check.Expect(GetWindow(answer, GW_OWNER) == program.MainWindow(), "the program itself answers the long path");
    const std::string text = MessageBoxText(answer);
    if (text.rfind("Error loading Map file\n", 0) == 0) {
        check.Note("examined: " + std::to_string(path.size()) + " characters");
        ExpectFileError(check, program, answer, FileErrorText(MapKind, LowerCased(path), NewerVersion));
    } else {
        check.Note("refused with: " + Quoted(text));
        check.Expect(!text.empty(), "the refusal says why");
        ClickButton(answer, IDOK);
    }
}
