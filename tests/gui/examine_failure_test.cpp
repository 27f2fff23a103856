// Examinations that fail: each shows one "File Error!" box with the exact
// three-line text, and nothing more.

#include "tests/gui/gui_driver.h"

namespace {

struct Failure {
    const char* name;
    const ExamineKind& kind;
    const char* fileName;
    filemaker::GameFile (*make)();
    const char* reason;
    bool held = false;                 // the file exists, but is held open without sharing
    const char* screenshot = nullptr;  // of the error box
};

const Failure Failures[] = {
    {"a file that cannot be opened", MapKind, "held.map", [] { return SmallMap(); }, "Unable to find file.", true},
    {"a scenario chosen under Examine Map", MapKind, "wrong-kind.scn", [] { return SmallFile(true); },
     "File data is bad."},
    {"a map of version 0", MapKind, "version-0.map", [] { return SmallMap(0); }, UnsupportedVersion},
    {"a map of version 2", MapKind, "version-2.map", [] { return SmallMap(2); }, NewerVersion, false, "error-box"},
    {"a scenario without its SCND chunk", ScenarioKind, "no-units.scn",
     [] {
         filemaker::GameFile file = SmallMap();
         file.typeTag = "CSCN";
         return file;
     },
     "File data is bad."},
};

}  // namespace

TEST(ExamineFailure, EachShowsOneErrorBoxWithItsReasonAndNothingMore) {
    TelvornProcess program;
    for (const Failure& failure : Failures) {
        SCOPED_TRACE(failure.name);
        const std::string path = FixturePath(failure.fileName);
        RequireWritten(path, failure.make());
        // Held without sharing, the program cannot open the file although the
        // file dialog sees that it exists.
        const Handle held(failure.held ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                       : nullptr,
                          &CloseHandle);
        ASSERT_TRUE(!failure.held || held.get() != INVALID_HANDLE_VALUE) << "the file can be held without sharing";
        const HWND answer = ChooseFile(program, OpenFileDialog(program, failure.kind), path);
        if (failure.screenshot != nullptr) SaveScreenshot(answer, failure.screenshot);
        ExpectFileError(program, answer, FileErrorText(failure.kind, LowerCased(path), failure.reason));
        EXPECT_TRUE(program.ShowsNothingMore()) << "no results dialog or second message follows the error";
    }
}
