#include "ui/examine_file.h"

#include <windows.h>

#include <optional>

#include "examine/examine_path.h"
#include "examine/kind_texts.h"
#include "ui/game_folder.h"
#include "ui/main_window.h"
#include "ui/results_dialog.h"

std::string lastFolder;
std::string lastMapFileName;
std::string lastScenarioFileName;

std::string& RememberedFileName(FileKind kind) {
    return kind == FileKind::Map ? lastMapFileName : lastScenarioFileName;
}

void ShowFileError(const char* text) {
    MessageBoxA(mainWindow, text, "File Error!", MB_ICONERROR | MB_OK);
}

int16_t ExamineFile(std::string_view typeTag) {
    const KindText* texts = KindTextOfTag(typeTag);
    if (texts == nullptr) return LoadUnknownKind;

    const std::optional<std::string> path = SelectGameFile(texts->kind);
    // The record shows the kind's remembered name as the selection left it.
    examineResults.fileName = RememberedFileName(texts->kind);
    if (!path) return 1;

    const LoadStatus status = ExaminePath(texts->kind, *path);
    if (status >= 0) return status;
    ShowFileError(LoadStatusMessage(texts->kindName, *path, status).c_str());
    return status;
}

namespace {

int ExaminationCommand(FileKind kind) {
    examineResults.kind = kind;
    if (ExamineFile(KindTextOf(kind).typeTag) == 0) ShowResultsDialog();
    return 0;
}

}  // namespace

int MapExaminationCommand() { return ExaminationCommand(FileKind::Map); }

int ScenarioExaminationCommand() { return ExaminationCommand(FileKind::Scenario); }

intptr_t ShowResultsDialog() {
    const int resultsTemplate = KindTextOf(examineResults.kind).resultsTemplate;
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(resultsTemplate), mainWindow, ResultsDialogProc, 0);
}
