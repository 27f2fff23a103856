#include "tests/gui/game_folder_test.h"

#include <windows.h>

#include "tests/gui/file_dialog.h"
#include "tests/gui/game_fixtures.h"
#include "tests/gui/menu_examination.h"
#include "tests/gui/telvorn_process.h"

namespace {

constexpr const char* ProbeName = "folder-probe.map";
constexpr const char* DialogDefaultFolder = "*";

// A file of version 0, whose error text shows the full path that the
// program examined.
class ProbeFile {
public:
    explicit ProbeFile(const std::string& path) : path(path), written(WriteFixture(path, MapWithVersion(0))) {}
    ~ProbeFile() { DeleteFileA(path.c_str()); }
    ProbeFile(const ProbeFile&) = delete;
    ProbeFile& operator=(const ProbeFile&) = delete;
    bool Written() const { return written; }

private:
    std::string path;
    bool written;
};

}  // namespace

void CheckFirstFolder(Check& check, const std::string& expectedFolder) {
    TelvornProcess program;
    const HWND dialog = OpenFileDialog(check, program, MapKind);
    const std::string shown = FileDialogFolder(program, dialog);
    std::string folder = expectedFolder;
    if (expectedFolder == DialogDefaultFolder) {
        check.Require(!shown.empty(), "the dialog shows a folder");
        folder = LowerCased(shown) + (shown.back() == '\\' ? "" : "\\");
        check.Note("the dialog's default folder: " + shown);
    }
    check.Expect(SameFolder(shown, folder), "the first dialog opens in " + Quoted(folder) + ", not " + Quoted(shown));
    check.ExpectText(FileDialogName(program, dialog), "", "the first dialog's file name box");

    const ProbeFile probe(folder + ProbeName);
    check.Require(probe.Written(), "a file can be written in " + Quoted(folder) + " (the harness makes it)");
    const HWND answer = ChooseFile(program, dialog, ProbeName);
    check.Require(answer != nullptr, "a window answers the bare name " + Quoted(ProbeName));
    ExpectFileError(check, program, answer, FileErrorText(MapKind, folder + ProbeName, UnsupportedVersion));
}
