#include "examine/examine_file.h"

#include <windows.h>

#include <exception>
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

namespace {

constexpr const char* ErrorCaption = "File Error!";

const KindText* KindTextOfTag(std::string_view typeTag) {
    for (const KindText& texts : KindTexts)
        if (typeTag == std::string_view(texts.typeTag)) return &texts;
    return nullptr;
}

void ShowError(const std::string& text) {
    MessageBoxA(mainWindow, text.c_str(), ErrorCaption, MB_ICONERROR | MB_OK);
}

int16_t ExamineChosenFile(const KindText& texts) {
    const std::optional<std::string> path = SelectGameFile(texts.kind);
    // The record shows the kind's remembered name as the selection left it.
    examineResults.fileName = RememberedFileName(texts.kind);
    if (!path) return 1;

    const LoadStatus status = ExaminePath(texts.kind, *path);
    if (status >= 0) return status;
    ShowError(LoadStatusMessage(texts.kindName, *path, status));
    return status;
}

}  // namespace

int16_t ExamineFile(std::string_view typeTag) {
    const KindText* texts = KindTextOfTag(typeTag);
    if (texts == nullptr) return LoadUnknownKind;
    try {
        return ExamineChosenFile(*texts);
    } catch (const std::exception&) {
        // Only the texts' storage can fail here; no exception may leave
        // through the window procedure.
        MessageBoxA(mainWindow, "Game is short on memory.", ErrorCaption, MB_ICONERROR | MB_OK);
        return LoadNoMemory;
    }
}

int MapExaminationCommand() {
    examineResults.kind = FileKind::Map;
    if (ExamineFile("CMAP") == 0) ShowResultsDialog();
    return 0;
}

int ScenarioExaminationCommand() {
    examineResults.kind = FileKind::Scenario;
    if (ExamineFile("CSCN") == 0) ShowResultsDialog();
    return 0;
}

intptr_t ShowResultsDialog() {
    const int resultsTemplate = KindTextOf(examineResults.kind).resultsTemplate;
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(resultsTemplate), mainWindow, ResultsDialogProc, 0);
}
