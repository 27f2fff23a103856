#include "ui/results_dialog.h"

#include <array>
#include <exception>
#include <string>

#include "analysis/examine_results.h"
#include "examine/results_texts.h"
#include "ui/dialog_close.h"
#include "ui/resources/resource.h"

namespace {

// The fields of the specialties in the order of SpecialtyRows.
constexpr std::array<int, SpecialtyRows.size()> SpecialtyFields{
    IDC_SPECIALTY_IN, IDC_SPECIALTY_AR, IDC_SPECIALTY_F,  IDC_SPECIALTY_B,  IDC_SPECIALTY_AC,
    IDC_SPECIALTY_TR, IDC_SPECIALTY_DD, IDC_SPECIALTY_SS, IDC_SPECIALTY_CR, IDC_SPECIALTY_BB};

constexpr int UnitTableRows = 11;  // the rows of UnitRows above "AB"

void SetField(HWND dialog, int field, const std::string& text) { SetDlgItemTextA(dialog, field, text.c_str()); }

void FillMapFigures(HWND dialog, const ExamineResults& results) {
    SetField(dialog, IDC_ROWS, NumberText(results.rows));
    SetField(dialog, IDC_COLUMNS, NumberText(results.columns));
    SetField(dialog, IDC_TOTAL_SQUARES, NumberText(TotalSquares(results)));
    SetField(dialog, IDC_MAP_WRAP, WrapText(results));
    SetField(dialog, IDC_AVERAGE_PRODUCTION, AverageProductionEfficiencyText(results));
    for (size_t row = 0; row < SpecialtyRows.size(); ++row)
        SetField(dialog, SpecialtyFields[row], NumberText(results.specialtyCounts[SpecialtyRows[row].entry]));
    SetField(dialog, IDC_WATER_MASSES, MassCountText(results.waterMassCount));
    SetField(dialog, IDC_LAND_MASSES, MassCountText(results.landMassCount));
    for (int terrainClass = 0; terrainClass < TerrainClassCount; ++terrainClass) {
        SetField(dialog, IDC_TERRAIN_COUNT_FIRST + terrainClass, NumberText(results.terrainCounts[terrainClass]));
        SetField(dialog, IDC_TERRAIN_PERCENT_FIRST - terrainClass, TerrainPercentageText(results, terrainClass));
    }
}

void FillUnitTable(HWND dialog, const ExamineResults& results) {
    for (int player = 0; player < PlayerCount; ++player) {
        const auto& units = results.playerUnits[player];
        for (int row = 0; row < UnitTableRows; ++row)
            SetField(dialog, IDC_UNIT_FIRST + UnitTableRows * player + row, NumberText(units[UnitRows[row].entry]));
        SetField(dialog, IDC_UNIT_AB_FIRST + player, NumberText(units[UnitRows[UnitTableRows].entry]));
    }
}

void OnInitDialog(HWND dialog) {
    try {
        // The title is built whole, whatever the length of the file name.
        SetWindowTextA(dialog, ResultsTitle(examineResults).c_str());
        FillMapFigures(dialog, examineResults);
        if (examineResults.kind != FileKind::Map) FillUnitTable(dialog, examineResults);
    } catch (const std::exception&) {
        // Out of memory for a text: the fields not yet filled stay empty. No
        // exception may leave through the dialog procedure.
    }
}

}  // namespace

INT_PTR CALLBACK ResultsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            break;
        case WM_COMMAND:
            CloseOnOk(dialog, wParam);
            break;
        default:
            break;
    }
    return 0;
}
