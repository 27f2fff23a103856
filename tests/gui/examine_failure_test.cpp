// Examinations that fail: each shows one "File Error!" box with the exact
// three-line text; a cancelled choice shows nothing at all.

#include <windows.h>

#include <functional>
#include <string>

#include "tests/gui/file_dialog.h"
#include "tests/gui/game_fixtures.h"
#include "tests/gui/gui_check.h"
#include "tests/gui/menu_examination.h"
#include "tests/gui/screenshot.h"
#include "tests/gui/telvorn_process.h"
#include "tests/gui/windows_seen.h"

namespace {

// Holds a file open without sharing, so that the program cannot open it
// although the file dialog sees that it exists.
class HeldFile {
public:
    explicit HeldFile(const std::string& path)
        : handle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~HeldFile() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool Held() const { return handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle;
};

struct FailureCase {
    const char* name;
    const ExamineKind& kind;
    const char* fileName;
    std::function<filemaker::GameFile()> make;
    const char* reason;
    bool held;               // the file exists but is held without sharing
    const char* screenshot;  // the name of the error box's picture, or nullptr
};

filemaker::GameFile ScenarioTypedAsMap() { return FiguresScenario(); }

const FailureCase FailureCases[] = {
    {"a file that cannot be opened shows \"Unable to find file.\"", MapKind, "held.map", FiguresMap,
     UnableToFindFile, true, nullptr},
    {"a scenario chosen under Examine Map shows \"File data is bad.\"", MapKind, "wrong-kind.scn",
     ScenarioTypedAsMap, FileDataIsBad, false, nullptr},
    {"a map of version 0 shows the unsupported version", MapKind, "version-0.map", [] { return MapWithVersion(0); },
     UnsupportedVersion, false, nullptr},
    {"a map of version 2 shows the newer version", MapKind, "version-2.map", [] { return MapWithVersion(2); },
     NewerVersion, false, "error-box"},
    {"a scenario without its SCND chunk shows \"File data is bad.\"", ScenarioKind, "no-units.scn",
     ScenarioWithoutUnits, FileDataIsBad, false, nullptr},
};

void RunFailureCase(Check& check, const FailureCase& failure) {
    const std::string path = FixturePath(failure.fileName);
    check.Require(WriteFixture(path, failure.make()), "the game file can be written: " + path);
    const HeldFile held(failure.held ? path : std::string());
    check.Require(!failure.held || held.Held(), "the game file can be held without sharing");

    TelvornProcess program;
    const HWND answer = ExamineThroughMenu(check, program, failure.kind, path);
    if (failure.screenshot != nullptr) SaveScreenshot(answer, failure.screenshot);
    ExpectFileError(check, program, answer, FileErrorText(failure.kind, LowerCased(path), failure.reason));
    check.Expect(program.ShowsNothingMore(), "no results dialog or second message follows the error");
}

const bool FailureCasesRegistered = [] {
    for (const FailureCase& failure : FailureCases)
        GuiCaseRegistration(std::string("failure: ") + failure.name,
                            [&failure](Check& check) { RunFailureCase(check, failure); });
    return true;
}();

}  // namespace

GUI_CASE(CancelShowsNothing, "failure: cancelling the file dialog shows nothing, for either kind") {
    TelvornProcess program;
    for (const ExamineKind* kind : {&MapKind, &ScenarioKind}) {
        const HWND dialog = OpenFileDialog(check, program, *kind);
        CancelFileDialog(dialog);
        check.Expect(TelvornProcess::WaitUntilClosed(dialog), "Cancel closes the file dialog");
        check.Expect(program.ShowsNothingMore(),
                     std::string("after Cancel under ") + kind->kindName + " no window opens and the main window takes input");
    }
}

GUI_CASE(MissingFileRefusedByDialog, "failure: a name that does not exist is refused by the file dialog itself") {
    const std::string path = FixturePath("nowhere.map");
    DeleteFileA(path.c_str());
    TelvornProcess program;
    const HWND dialog = OpenFileDialog(check, program, MapKind);
    const HWND warning = ChooseFile(program, dialog, path);
    check.Require(warning != nullptr, "a warning answers the missing file");
    check.Expect(WindowText(warning) != "File Error!", "the warning is the dialog's own, not the program's error");
    check.Expect(GetWindow(warning, GW_OWNER) == dialog, "the warning is owned by the file dialog");
    ClickButton(warning, IDOK);
    check.Expect(TelvornProcess::WaitUntilClosed(warning), "OK closes the warning");
    check.Expect(IsWindowVisible(dialog) != FALSE, "the file dialog stays open for another choice");
    CancelFileDialog(dialog);
    check.Expect(TelvornProcess::WaitUntilClosed(dialog), "Cancel then closes it");
    check.Expect(program.ShowsNothingMore(), "the program shows nothing of its own");
}
