// The results dialogs 134 (map) and 135 (scenario): every field by its
// control id, the title, how they close, and their layouts.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/gui/game_fixtures.h"
#include "tests/gui/gui_check.h"
#include "tests/gui/menu_examination.h"
#include "tests/gui/screenshot.h"
#include "tests/gui/telvorn_process.h"
#include "tests/gui/windows_seen.h"
#include "ui/resources/resource.h"

namespace {

struct Field {
    int id;
    std::string text;
};

// The entry of the unit table that row r (0 to 10) of the table shows.
constexpr int UnitRowEntries[11] = {0, 9, 10, 11, 12, 3, 4, 5, 6, 7, 8};
constexpr int AbEntry = 13;
constexpr int UnitFieldLast = IDC_UNIT_AB_FIRST + 5;

// What FiguresMap shows, in both layouts.
const std::vector<Field> FiguresFields = {
    {IDC_COLUMNS, "30"}, {IDC_ROWS, "10"}, {IDC_TOTAL_SQUARES, "300"}, {IDC_MAP_WRAP, "YES"},
    {IDC_AVERAGE_PRODUCTION, "102"}, {IDC_WATER_MASSES, "1"}, {IDC_LAND_MASSES, "1"},
    // Specialty k is on k - 2 cities.
    {IDC_SPECIALTY_IN, "7"}, {IDC_SPECIALTY_AR, "8"}, {IDC_SPECIALTY_F, "9"}, {IDC_SPECIALTY_B, "10"},
    {IDC_SPECIALTY_AC, "6"}, {IDC_SPECIALTY_TR, "1"}, {IDC_SPECIALTY_DD, "2"}, {IDC_SPECIALTY_SS, "3"},
    {IDC_SPECIALTY_CR, "4"}, {IDC_SPECIALTY_BB, "5"},
    // Terrain counts, City to Edge, and their percentages of 300.
    {IDC_TERRAIN_COUNT_FIRST + 0, "2"}, {IDC_TERRAIN_PERCENT_FIRST - 0, "0"},
    {IDC_TERRAIN_COUNT_FIRST + 1, "100"}, {IDC_TERRAIN_PERCENT_FIRST - 1, "33"},
    {IDC_TERRAIN_COUNT_FIRST + 2, "120"}, {IDC_TERRAIN_PERCENT_FIRST - 2, "40"},
    {IDC_TERRAIN_COUNT_FIRST + 3, "30"}, {IDC_TERRAIN_PERCENT_FIRST - 3, "10"},
    {IDC_TERRAIN_COUNT_FIRST + 4, "20"}, {IDC_TERRAIN_PERCENT_FIRST - 4, "6"},
    {IDC_TERRAIN_COUNT_FIRST + 5, "15"}, {IDC_TERRAIN_PERCENT_FIRST - 5, "5"},
    {IDC_TERRAIN_COUNT_FIRST + 6, "10"}, {IDC_TERRAIN_PERCENT_FIRST - 6, "3"},
    {IDC_TERRAIN_COUNT_FIRST + 7, "3"}, {IDC_TERRAIN_PERCENT_FIRST - 7, "1"},
};

// What ThreeCitiesMap shows: 4 x 5 clear squares, efficiencies 50, 50, 51.
const std::vector<Field> ThreeCitiesFields = {
    {IDC_COLUMNS, "5"}, {IDC_ROWS, "4"}, {IDC_TOTAL_SQUARES, "20"}, {IDC_MAP_WRAP, "NO"},
    {IDC_AVERAGE_PRODUCTION, "50"}, {IDC_WATER_MASSES, "0"}, {IDC_LAND_MASSES, "1"},
    {IDC_SPECIALTY_TR, "2"}, {IDC_SPECIALTY_B, "1"}, {IDC_SPECIALTY_IN, "0"}, {IDC_SPECIALTY_BB, "0"},
    {IDC_TERRAIN_COUNT_FIRST + 2, "20"}, {IDC_TERRAIN_PERCENT_FIRST - 2, "100"},
    {IDC_TERRAIN_COUNT_FIRST + 1, "0"}, {IDC_TERRAIN_PERCENT_FIRST - 1, "0"},
};

std::vector<Field> UnitFields(const filemaker::UnitTable& units) {
    std::vector<Field> fields;
    for (int player = 0; player < 6; ++player) {
        for (int row = 0; row < 11; ++row)
            fields.push_back({IDC_UNIT_FIRST + 11 * player + row, std::to_string(units[player][UnitRowEntries[row]])});
        fields.push_back({IDC_UNIT_AB_FIRST + player, std::to_string(units[player][AbEntry])});
    }
    return fields;
}

std::string MapTitle(const std::string& name) { return "Results for Map File: " + name; }
std::string ScenarioTitle(const std::string& name) { return "Results for Scenario File: " + name; }

// Examines the file through the menu and requires the results dialog with
// this title; a message box in its place is shown in the failure.
HWND ExamineForResults(Check& check, TelvornProcess& program, const ExamineKind& kind, const std::string& path,
                       const std::string& title) {
    const HWND answer = ExamineThroughMenu(check, program, kind, path);
    const std::string seen = WindowText(answer);
    check.Require(seen == title, "the results dialog " + Quoted(title) + " opens, not " + Quoted(seen) + " " +
                                     Quoted(MessageBoxText(answer)));
    check.Expect(GetWindow(answer, GW_OWNER) == program.MainWindow(), "the results dialog is owned by the main window");
    return answer;
}

HWND WrittenAndExamined(Check& check, TelvornProcess& program, const ExamineKind& kind, const std::string& name,
                        const filemaker::GameFile& file) {
    const std::string path = FixturePath(name);
    check.Require(WriteFixture(path, file), "the game file can be written: " + path);
    const std::string lowerName = LowerCased(name);
    return ExamineForResults(check, program, kind, path,
                             &kind == &MapKind ? MapTitle(lowerName) : ScenarioTitle(lowerName));
}

void ExpectFields(Check& check, HWND dialog, const std::vector<Field>& fields) {
    for (const Field& field : fields) {
        if (!check.Expect(GetDlgItem(dialog, field.id) != nullptr, "the dialog has field " + std::to_string(field.id)))
            continue;
        check.ExpectText(ControlText(dialog, field.id), field.text, "field " + std::to_string(field.id));
    }
}

void CloseWithOk(Check& check, HWND dialog) {
    ClickButton(dialog, IDOK);
    check.Expect(TelvornProcess::WaitUntilClosed(dialog), "OK closes the results dialog");
}

bool HasUnitFields(HWND dialog) {
    for (int id = IDC_UNIT_FIRST; id <= UnitFieldLast; ++id)
        if (GetDlgItem(dialog, id) != nullptr) return true;
    return false;
}

std::string ControlName(HWND control) {
    return std::to_string(GetDlgCtrlID(control)) + " " + Quoted(WindowText(control));
}

// No two controls other than group boxes overlap, and every control lies
// inside the dialog's client area.
void ExpectTidyLayout(Check& check, HWND dialog) {
    const RECT client = ClientRectOnScreen(dialog);
    const std::vector<HWND> controls = DirectChildren(dialog);
    check.Expect(controls.size() > 10, "the dialog has its controls");
    std::vector<std::pair<HWND, RECT>> placed;
    for (const HWND control : controls) {
        RECT rect{};
        GetWindowRect(control, &rect);
        const bool inside = rect.left >= client.left && rect.top >= client.top && rect.right <= client.right &&
                            rect.bottom <= client.bottom;
        if (!inside)
            check.Expect(false, "control " + ControlName(control) + " " + RectText(rect) + " lies inside the dialog " +
                                    RectText(client));
        if (!IsGroupBox(control)) placed.emplace_back(control, rect);
    }
    for (size_t i = 0; i < placed.size(); ++i)
        for (size_t j = i + 1; j < placed.size(); ++j) {
            RECT common;
            if (IntersectRect(&common, &placed[i].second, &placed[j].second))
                check.Expect(false, "control " + ControlName(placed[i].first) + " " + RectText(placed[i].second) +
                                        " overlaps " + ControlName(placed[j].first) + " " +
                                        RectText(placed[j].second));
        }
}

struct MassCase {
    const char* name;
    int count;
    bool waterInLand;
    const char* waterText;
    const char* landText;
};

const MassCase MassCases[] = {
    {"254 separate water squares show 254 water masses", 254, true, "254", "1"},
    {"255 separate water squares show \">255\" water masses", 255, true, ">255", "1"},
    {"255 separate land squares show \">255\" land masses", 255, false, "1", ">255"},
};

const bool MassCasesRegistered = [] {
    for (const MassCase& mass : MassCases)
        GuiCaseRegistration(std::string("map results: ") + mass.name, [&mass](Check& check) {
            TelvornProcess program;
            const HWND dialog = WrittenAndExamined(check, program, MapKind, "masses.map",
                                                   SeparateSquaresMap(mass.count, mass.waterInLand));
            ExpectFields(check, dialog, {{IDC_WATER_MASSES, mass.waterText}, {IDC_LAND_MASSES, mass.landText},
                                         {IDC_ROWS, "40"}, {IDC_COLUMNS, "40"}, {IDC_TOTAL_SQUARES, "1600"}});
            CloseWithOk(check, dialog);
        });
    return true;
}();

}  // namespace

GUI_CASE(MapResultsFigures, "map results: every field of dialog 134 for a map with known figures") {
    TelvornProcess program;
    const HWND dialog = WrittenAndExamined(check, program, MapKind, "Figures.MAP", FiguresMap());
    ExpectFields(check, dialog, FiguresFields);
    check.Expect(!HasUnitFields(dialog), "the map layout has no unit table");
    check.Expect((GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) == 0, "the dialog has no system menu or close box");
    check.Expect(IsWindowEnabled(program.MainWindow()) == FALSE, "the dialog is modal: the main window is disabled");
    SaveScreenshot(dialog, "map-results");
    CloseWithOk(check, dialog);
    check.Expect(program.ShowsNothingMore(), "nothing follows the results dialog");
}

GUI_CASE(MapResultsAverageOfThree, "map results: efficiencies 50, 50 and 51 average 50; no wrap shows NO") {
    TelvornProcess program;
    const HWND dialog = WrittenAndExamined(check, program, MapKind, "three-cities.map", ThreeCitiesMap());
    ExpectFields(check, dialog, ThreeCitiesFields);
    CloseWithOk(check, dialog);
}

GUI_CASE(MapResultsWithoutCities, "map results: a map without cities shows \"-\" as the average") {
    TelvornProcess program;
    const HWND dialog = WrittenAndExamined(check, program, MapKind, "cityless.map", CitylessMap());
    ExpectFields(check, dialog, {{IDC_AVERAGE_PRODUCTION, "-"}, {IDC_SPECIALTY_TR, "0"}, {IDC_SPECIALTY_B, "0"}});
    CloseWithOk(check, dialog);
}

GUI_CASE(ScenarioResultsFigures, "scenario results: dialog 135 shows the map's figures and all 72 unit fields") {
    TelvornProcess program;
    const HWND dialog = WrittenAndExamined(check, program, ScenarioKind, "Figures.SCN", FiguresScenario());
    ExpectFields(check, dialog, FiguresFields);
    ExpectFields(check, dialog, UnitFields(KnownUnits()));
    CloseWithOk(check, dialog);
}

GUI_CASE(MapAfterScenarioHasNoUnits, "map results: a map examined after a scenario shows dialog 134, no unit table") {
    TelvornProcess program;
    HWND dialog = WrittenAndExamined(check, program, ScenarioKind, "before.scn", FiguresScenario());
    check.Expect(HasUnitFields(dialog), "the scenario shows its unit table");
    CloseWithOk(check, dialog);
    dialog = WrittenAndExamined(check, program, MapKind, "three-cities.map", ThreeCitiesMap());
    check.Expect(!HasUnitFields(dialog), "the map's dialog has none of the unit fields 1031 to 1102");
    ExpectFields(check, dialog, ThreeCitiesFields);
    CloseWithOk(check, dialog);
}

GUI_CASE(ResultsTitleFullLongName, "results: the title shows a long lower-cased file name in full") {
    const std::string name = "A-Map-Whose-Name-Is-Far-Longer-Than-The-Eighty-Five-Characters-That-An-Old-Title-"
                             "Buffer-Could-Hold.MAP";
    TelvornProcess program;
    // The title is required in full, lower-cased, on the way in.
    const HWND dialog = WrittenAndExamined(check, program, MapKind, name, ThreeCitiesMap());
    CloseWithOk(check, dialog);
}

GUI_CASE(ResultsIgnoreEscapeCloseOnEnter, "results: Esc leaves the dialog open, Enter closes it") {
    TelvornProcess program;
    for (const ExamineKind* kind : {&MapKind, &ScenarioKind}) {
        const bool map = kind == &MapKind;
        const HWND dialog = WrittenAndExamined(check, program, *kind, map ? "keys.map" : "keys.scn",
                                               map ? ThreeCitiesMap() : FiguresScenario());
        check.Require(PressKey(dialog, VK_ESCAPE), "the dialog takes the keyboard");
        check.Expect(!WaitUntil([&] { return !IsWindowVisible(dialog); }, QuietTime),
                     std::string("after Esc the ") + kind->kindName + " results dialog is still open");
        check.Require(PressKey(dialog, VK_RETURN), "the dialog takes the keyboard");
        check.Expect(TelvornProcess::WaitUntilClosed(dialog),
                     std::string("Enter closes the ") + kind->kindName + " results dialog");
        check.Expect(program.ShowsNothingMore(), "nothing follows the results dialog");
    }
}

GUI_CASE(MapLayoutTidy, "results: in dialog 134 no two fields or labels overlap, all lie inside") {
    TelvornProcess program;
    const HWND dialog = WrittenAndExamined(check, program, MapKind, "figures.map", FiguresMap());
    ExpectTidyLayout(check, dialog);
    CloseWithOk(check, dialog);
}

GUI_CASE(ScenarioLayoutTidy, "results: in dialog 135 no two fields or labels overlap, all lie inside") {
    TelvornProcess program;
    const HWND dialog = WrittenAndExamined(check, program, ScenarioKind, "harbour-towns.scn", ModestScenario());
    ExpectTidyLayout(check, dialog);
    SaveScreenshot(dialog, "scenario-results");
    CloseWithOk(check, dialog);
}
