#include "ui/examine_file.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "examine/ascii_text.h"
#include "examine/examine_path.h"
#include "examine/file_kind.h"
#include "examine/kind_texts.h"
#include "ui/game_folder.h"
#include "ui/main_window.h"
#include "ui/results_dialog.h"
#include "ui/system_text.h"

std::string lastFolder;
std::string lastMapFileName;
std::string lastScenarioFileName;

std::string& RememberedFileName(FileKind kind) {
    return kind == FileKind::Map ? lastMapFileName : lastScenarioFileName;
}

void ShowFileError(const char* text) {
    MessageBoxA(mainWindow, text, "File Error!", MB_ICONERROR | MB_OK);
}

namespace {

// Examines the chosen file at path as a file of the kind of texts, and tells
// the user of a failure. Returns the status.
LoadStatus ExamineChosenFile(const KindText& texts, const std::string& path) {
    const LoadStatus status = ExaminePath(texts.kind, CorePath(path));
    if (status < 0) ShowFileError(LoadStatusMessage(texts.kindName, path, status).c_str());
    return status;
}

}  // namespace

int16_t ExamineFile(std::string_view typeTag) {
    const KindText* texts = KindTextOfTag(typeTag);
    if (texts == nullptr) return LoadUnknownKind;

    const std::optional<std::string> path = SelectGameFile(texts->kind);
    // The record shows the kind's remembered name as the selection left it.
    examineResults.fileName = RememberedFileName(texts->kind);
    if (!path) return 1;
    return ExamineChosenFile(*texts, *path);
}

namespace {

int ExaminationCommand(FileKind kind) {
    examineResults.kind = kind;
    if (ExamineFile(KindTextOf(kind).typeTag) == 0) ShowResultsDialog();
    return 0;
}

// The full path of a file handed to the program, as the file dialog gives a
// choice, and the offset of its name; the path as given when it has none.
std::pair<std::string, size_t> FullPath(const std::string& path) {
    std::string full(MAX_PATH, '\0');
    char* name = nullptr;
    DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), &name);
    if (length >= full.size()) {  // longer than MAX_PATH: the size it needs, terminator included
        full.assign(length, '\0');
        length = GetFullPathNameA(path.c_str(), length, full.data(), &name);
    }
    if (length == 0 || length >= full.size()) return {path, 0};
    full.resize(length);
    return {full, name != nullptr ? static_cast<size_t>(name - full.data()) : full.size()};
}

void ExamineHandedFile(const std::string& path) {
    const auto [fullPath, nameOffset] = FullPath(path);
    const std::string corePath = CorePath(fullPath);
    std::optional<FileKind> kind = KindFromExtension(corePath);
    if (!kind) {
        FileKind tagged{};
        if (const LoadStatus status = KindFromTypeTag(corePath, tagged); status != LoadSucceeded) {
            std::string shown = fullPath;
            LowerCaseAscii(shown);
            ShowFileError(LoadStatusMessage(EitherKindName, shown, status).c_str());
            return;
        }
        kind = tagged;
    }
    // Remembered as a choice of the file dialog: the next dialog starts in its folder.
    std::string& fileName = RememberedFileName(*kind);
    lastFolder = fullPath.substr(0, nameOffset);
    fileName = fullPath.substr(nameOffset);
    LowerCaseAscii(lastFolder);
    LowerCaseAscii(fileName);
    examineResults.kind = *kind;
    examineResults.fileName = fileName;
    if (ExamineChosenFile(KindTextOf(*kind), lastFolder + fileName) == 0) ShowResultsDialog();
}

}  // namespace

void ExamineHandedFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) ExamineHandedFile(path);
}

int MapExaminationCommand() { return ExaminationCommand(FileKind::Map); }

int ScenarioExaminationCommand() { return ExaminationCommand(FileKind::Scenario); }

intptr_t ShowResultsDialog() {
    const int resultsTemplate = KindTextOf(examineResults.kind).resultsTemplate;
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(resultsTemplate), mainWindow, ResultsDialogProc, 0);
}
