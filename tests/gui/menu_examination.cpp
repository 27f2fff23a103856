#include "tests/gui/menu_examination.h"

#include "tests/gui/file_dialog.h"
#include "tests/gui/windows_seen.h"
#include "ui/resources/resource.h"

const ExamineKind MapKind{IDM_EXAMINE_MAP, MapDialogTitle, "Map"};
const ExamineKind ScenarioKind{IDM_EXAMINE_SCENARIO, ScenarioDialogTitle, "Scenario"};

std::string FileErrorText(const ExamineKind& kind, const std::string& path, const std::string& reason) {
    return std::string("Error loading ") + kind.kindName + " file\n" + path + "\n" + reason;
}

HWND OpenFileDialog(Check& check, TelvornProcess& program, const ExamineKind& kind) {
    check.Require(program.MainWindow() != nullptr, "the main window appears");
    program.Command(kind.command);
    const HWND dialog = program.WaitForDialog(kind.dialogTitle);
    check.Require(dialog != nullptr, std::string("the file dialog \"") + kind.dialogTitle + "\" opens");
    return dialog;
}

HWND ChooseFile(TelvornProcess& program, HWND fileDialog, const std::string& nameOrPath) {
    ChooseInFileDialog(fileDialog, nameOrPath);
    HWND answer = nullptr;
    WaitUntil(
        [&] {
            for (const HWND dialog : program.Dialogs())
                if (dialog != fileDialog) answer = dialog;
            return answer != nullptr;
        },
        WindowTimeout);
    return answer;
}

HWND ExamineThroughMenu(Check& check, TelvornProcess& program, const ExamineKind& kind, const std::string& path) {
    const HWND fileDialog = OpenFileDialog(check, program, kind);
    const HWND answer = ChooseFile(program, fileDialog, path);
    check.Require(answer != nullptr, "a window answers the choice of " + Quoted(path));
    return answer;
}

void ExpectFileError(Check& check, TelvornProcess& program, HWND box, const std::string& text) {
    check.ExpectText(WindowText(box), "File Error!", "message box caption");
    check.ExpectText(MessageBoxText(box), text, "message box text");
    check.Expect(GetWindow(box, GW_OWNER) == program.MainWindow(), "the message box is owned by the main window");
    check.Expect(GetDlgItem(box, IDOK) != nullptr && GetDlgItem(box, IDCANCEL) == nullptr,
                 "the message box has a single OK button");
    ClickButton(box, IDOK);
    check.Expect(TelvornProcess::WaitUntilClosed(box), "OK closes the message box");
}
