// Examinations as a user runs them: the menu command, the file dialog, and
// the window that answers the choice; and the small game files they use.

#include <gtest/gtest.h>

#include "tests/gui/gui_driver.h"

#include <dlgs.h>

#include "examine/ascii_text.h"
#include "ui/resources/resource.h"

const ExamineKind MapKind{IDM_EXAMINE_MAP, "Select MAP to Load:", "Map"};
const ExamineKind ScenarioKind{IDM_EXAMINE_SCENARIO, "Select Scenario to Load:", "Scenario"};

std::string FileErrorText(const ExamineKind& kind, const std::string& path, const std::string& reason) {
    return std::string("Error loading ") + kind.kindName + " file\n" + path + "\n" + reason;
}

HWND OpenFileDialog(TelvornProcess& program, const ExamineKind& kind) {
    program.Command(kind.command);
    return Required(program.WaitForDialog(kind.dialogTitle), std::string("the file dialog \"") + kind.dialogTitle + "\" opens");
}

HWND ChooseFile(TelvornProcess& program, HWND fileDialog, const std::string& nameOrPath) {
    // The edit control inside the file name combo box (cmb13), where a user types.
    HWND edit = GetDlgItem(fileDialog, cmb13);
    while (edit != nullptr && ClassNameOf(edit) != "Edit" && GetWindow(edit, GW_CHILD) != nullptr)
        edit = GetWindow(edit, GW_CHILD);
    SetWindowTextA(edit, nameOrPath.c_str());
    ClickButton(fileDialog, IDOK);
    HWND answer = nullptr;
    WaitUntil([&] {
        for (const HWND dialog : program.Windows())
            if (dialog != fileDialog) answer = dialog;
        return answer != nullptr;
    });
    return Required(answer, "a window answers the choice of " + nameOrPath);
}

HWND ExamineThroughMenu(TelvornProcess& program, const ExamineKind& kind, const std::string& path) {
    return ChooseFile(program, OpenFileDialog(program, kind), path);
}

void ExpectFileError(TelvornProcess& program, HWND box, const std::string& text) {
    EXPECT_EQ(WindowText(box), "File Error!");
    EXPECT_EQ(ControlText(box, MessageBoxTextId), text);
    EXPECT_EQ(GetWindow(box, GW_OWNER), program.MainWindow()) << "the message box is owned by the main window";
    EXPECT_TRUE(GetDlgItem(box, IDOK) != nullptr && GetDlgItem(box, IDCANCEL) == nullptr) << "one OK button";
    ClickButton(box, IDOK);
    EXPECT_TRUE(WaitUntilClosed(box)) << "OK closes the message box";
}

std::string LowerCased(std::string text) {
    LowerCaseAscii(text);
    return text;
}

std::string FixturePath(const std::string& name) { return Folders().files + "\\" + name; }

void RequireWritten(const std::string& path, const filemaker::GameFile& file) {
    Required(filemaker::WriteBytes(path, filemaker::Build(file)), "the game file can be written: " + path);
}

namespace {

filemaker::GameFile SmallFile(bool scenario, int version) {
    const filemaker::MapLayout layout = filemaker::MapFromText({"LLLLL", "LLLLL", "LLLLL", "LLLLL"});
    const std::vector<filemaker::City> cities = {{50, 3}, {50, 3}, {51, 12}};
    filemaker::GameFile file =
        scenario ? filemaker::ScenarioFile(layout, cities, {}) : filemaker::MapFile(layout, cities);
    file.version = static_cast<uint8_t>(version);
    return file;
}

}  // namespace

filemaker::GameFile SmallMap(int version) { return SmallFile(false, version); }
filemaker::GameFile SmallScenario(int version) { return SmallFile(true, version); }
