// Examinations that fail: each shows one "File Error!" box with the exact
// three-line text; a cancelled choice shows nothing at all.

#include "tests/gui/gui_driver.h"

namespace {

struct FailureCase {
    const char* name;
    const ExamineKind& kind;
    const char* fileName;
    filemaker::GameFile (*make)();
    const char* reason;
    bool held;               // the file exists, but is held open without sharing
    const char* screenshot;  // the name of the error box's picture, or nullptr
};

const FailureCase FailureCases[] = {
    {"a file that cannot be opened shows \"Unable to find file.\"", MapKind, "held.map", [] { return SmallMap(); },
     "Unable to find file.", true, nullptr},
    {"a scenario chosen under Examine Map shows \"File data is bad.\"", MapKind, "wrong-kind.scn",
     [] { return SmallScenario(); }, "File data is bad.", false, nullptr},
    {"a map of version 0 shows the unsupported version", MapKind, "version-0.map", [] { return SmallMap(0); },
     UnsupportedVersion, false, nullptr},
    {"a map of version 2 shows the newer version", MapKind, "version-2.map", [] { return SmallMap(2); },
     NewerVersion, false, "error-box"},
    {"a scenario without its SCND chunk shows \"File data is bad.\"", ScenarioKind, "no-units.scn",
     [] {
         filemaker::GameFile file = SmallMap();
         file.typeTag = "CSCN";
         return file;
     },
     "File data is bad.", false, nullptr},
};

void RunFailureCase(Check& check, const FailureCase& failure) {
    const std::string path = FixturePath(failure.fileName);
    RequireWritten(check, path, failure.make());
    // Held without sharing, the program cannot open the file although the
    // file dialog sees that it exists.
    struct Held {
        HANDLE handle;
        ~Held() {
            if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        }
    } const held{failure.held ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                              : INVALID_HANDLE_VALUE};
    check.Require(!failure.held || held.handle != INVALID_HANDLE_VALUE, "the game file can be held without sharing");

    TelvornProcess program;
    const HWND answer = ExamineThroughMenu(check, program, failure.kind, path);
    if (failure.screenshot != nullptr) SaveScreenshot(answer, failure.screenshot);
    ExpectFileError(check, program, answer, FileErrorText(failure.kind, LowerCased(path), failure.reason));
    check.Expect(program.ShowsNothingMore(), "no results dialog or second message follows the error");
}

const bool FailureCasesRegistered = RegisterCases("failure: ", FailureCases, RunFailureCase);

}  // namespace

GUI_CASE(CancelShowsNothing, "failure: a missing name is refused by the file dialog itself; cancelling shows nothing") {
    const std::string missing = FixturePath("nowhere.map");
    DeleteFileA(missing.c_str());
    TelvornProcess program;
    for (const ExamineKind* kind : {&MapKind, &ScenarioKind}) {
        const std::string under = std::string(" under Examine ") + kind->kindName;
        const HWND dialog = OpenFileDialog(check, program, *kind);
        const HWND warning = ChooseFile(program, dialog, missing);
        check.Require(warning != nullptr, "a warning answers the missing file" + under);
        check.Expect(GetWindow(warning, GW_OWNER) == dialog && WindowText(warning) != "File Error!",
                     "the warning is the file dialog's own, not the program's error" + under);
        ClickButton(warning, IDOK);
        check.Expect(WaitUntilClosed(warning), "OK closes the warning" + under);
        check.Expect(IsWindowVisible(dialog) != FALSE, "the file dialog stays open for another choice" + under);
        ClickButton(dialog, IDCANCEL);
        check.Expect(WaitUntilClosed(dialog), "Cancel closes the file dialog" + under);
        check.Expect(program.ShowsNothingMore(), "after Cancel" + under + " no window opens and the main window takes input");
    }
}
