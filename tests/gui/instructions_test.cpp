// The instructions-and-credits dialog: its version line and how it closes.

#include <windows.h>

#include <string>

#include "tests/gui/gui_check.h"
#include "tests/gui/screenshot.h"
#include "tests/gui/telvorn_process.h"
#include "tests/gui/windows_seen.h"
#include "ui/resources/resource.h"

namespace {

constexpr const char* InstructionsCaption = "Instructions and Credits";

HWND OpenInstructions(Check& check, TelvornProcess& program) {
    check.Require(program.MainWindow() != nullptr, "the main window appears");
    program.Command(IDM_HELP_AND_CREDITS);
    const HWND dialog = program.WaitForDialog(InstructionsCaption);
    check.Require(dialog != nullptr, "Help and Credits opens the dialog \"Instructions and Credits\"");
    return dialog;
}

void ExpectClosedAndProgramGoesOn(Check& check, TelvornProcess& program, HWND dialog, const std::string& how) {
    check.Expect(TelvornProcess::WaitUntilClosed(dialog), how + " closes the instructions dialog");
    check.Expect(WaitUntil([&] { return IsWindowEnabled(program.MainWindow()) != FALSE; }, WindowTimeout),
                 "the main window takes input again after " + how);
    check.Expect(WaitForSingleObject(program.Handle(), 0) == WAIT_TIMEOUT, "the program goes on running");
}

}  // namespace

GUI_CASE(InstructionsVersionLine, "instructions: control 1031 shows \"Version 1.0 - May 25 2003\"") {
    TelvornProcess program;
    const HWND dialog = OpenInstructions(check, program);
    check.ExpectText(ControlText(dialog, IDC_VERSION_LINE), "Version 1.0 - May 25 2003", "control 1031");
    check.Expect(GetWindow(dialog, GW_OWNER) == program.MainWindow(), "the dialog is owned by the main window");
    check.Expect(IsWindowEnabled(program.MainWindow()) == FALSE, "the dialog is modal: the main window is disabled");
    check.Expect((GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) == 0, "the dialog has no system menu or close box");
    SaveScreenshot(dialog, "instructions-dialog");
}

GUI_CASE(InstructionsIgnoreEscape, "instructions: Esc leaves the dialog open") {
    TelvornProcess program;
    const HWND dialog = OpenInstructions(check, program);
    check.Require(PressKey(dialog, VK_ESCAPE), "the dialog takes the keyboard");
    check.Expect(!WaitUntil([&] { return !IsWindowVisible(dialog); }, QuietTime), "after Esc the dialog is still open");
    ClickButton(dialog, IDOK);
    check.Expect(TelvornProcess::WaitUntilClosed(dialog), "OK still closes it after Esc");
}

GUI_CASE(InstructionsCloseOnEnter, "instructions: Enter closes the dialog") {
    TelvornProcess program;
    const HWND dialog = OpenInstructions(check, program);
    check.Require(PressKey(dialog, VK_RETURN), "the dialog takes the keyboard");
    ExpectClosedAndProgramGoesOn(check, program, dialog, "Enter");
}

GUI_CASE(InstructionsCloseOnOk, "instructions: OK closes the dialog") {
    TelvornProcess program;
    const HWND dialog = OpenInstructions(check, program);
    ClickButton(dialog, IDOK);
    ExpectClosedAndProgramGoesOn(check, program, dialog, "OK");
}
