// The results dialogs 134 (map) and 135 (scenario): every field by its
// control id, the title, how they close, and their layouts.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <limits>
#include <optional>
#include <utility>

#include "tests/gui/gui_driver.h"
#include "ui/resources/resource.h"

namespace {

// ---- Game files with known figures.

// One terrain code of each class, City to Edge.
constexpr uint8_t CityCode = 162, ForestCode = 34, MountainCode = 98, RiverCode = 130, RoughCode = 66,
                  EdgeCode = 164, WaterCode = filemaker::WaterCode, ClearCode = filemaker::ClearCode;

// 10 rows by 30 columns, wrap flag 0x80 ("YES"). Squares per class: City 2,
// Water 100, Clear 120, Forest 30, Mountain 20, River 15, Rough 10, Edge 3,
// so the percentages are 0, 33, 40, 10, 6, 5, 3 and 1. The water fills rows
// 1 to 3 and the start of row 4, the land the rest: one water mass and one
// land mass. 60 cities: specialty k (3 to 12) on k - 2 of them, one each of
// 0, 1, 2, 13 and 20; efficiencies 100, one of them 255, so the average is
// 6155 / 60 = 102.
filemaker::GameFile FiguresFile(std::optional<filemaker::UnitTable> units = std::nullopt) {
    filemaker::MapLayout map;
    map.rows = 10;
    map.columns = 30;
    map.wrapFlag = 0x80;
    for (const auto& [count, code] : {std::pair{30, ClearCode}, {100, WaterCode}, {90, ClearCode}, {30, ForestCode},
                                      {20, MountainCode}, {15, RiverCode}, {10, RoughCode}, {3, EdgeCode},
                                      {2, CityCode}})
        map.squares.insert(map.squares.end(), static_cast<size_t>(count), code);
    std::vector<filemaker::City> cities;
    for (uint8_t specialty = 3; specialty <= 12; ++specialty)
        cities.insert(cities.end(), static_cast<size_t>(specialty - 2), {100, specialty});
    for (const uint8_t specialty : {0, 1, 2, 13, 20}) cities.push_back({100, specialty});
    cities.back().productionEfficiency = 255;
    return units ? filemaker::ScenarioFile(map, cities, *units) : filemaker::MapFile(map, cities);
}

// Count k of player p: (p odd ? -1 : 1) * (1000 * (p + 1) + k), except
// player 0 count 0, 2147483647, and player 5 count 13, -2147483648.
filemaker::UnitTable KnownUnits() {
    filemaker::UnitTable units{};
    for (int player = 0; player < 6; ++player)
        for (int count = 0; count < 15; ++count)
            units[player][count] = (player % 2 == 1 ? -1 : 1) * (1000 * (player + 1) + count);
    units[0][0] = std::numeric_limits<int32_t>::max();
    units[5][13] = std::numeric_limits<int32_t>::min();
    return units;
}

// 40 rows by 40 columns of one kind with count single squares of the other
// kind in its odd rows and even columns, none touching another: water
// squares in land (waterInLand) or land squares in water.
filemaker::GameFile SeparateSquaresMap(int count, bool waterInLand) {
    filemaker::MapLayout map;
    map.rows = 40;
    map.columns = 40;
    map.squares.assign(40 * 40, waterInLand ? ClearCode : WaterCode);
    for (int placed = 0; placed < count; ++placed)
        map.squares[static_cast<size_t>((1 + placed / 20 * 2) * 40 + placed % 20 * 2)] =
            waterInLand ? WaterCode : ClearCode;
    return filemaker::MapFile(map, {});
}

// ---- What the dialogs show.

struct Field {
    int id;
    std::string text;
};
using Fields = std::vector<Field>;

Fields operator+(Fields first, const Fields& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Terrain counts, City to Edge, and their percentages of the squares.
Fields TerrainFields(const std::vector<std::string>& counts, const std::vector<std::string>& percentages) {
    Fields fields;
    for (int terrainClass = 0; terrainClass < static_cast<int>(counts.size()); ++terrainClass) {
        fields.push_back({IDC_TERRAIN_COUNT_FIRST + terrainClass, counts[terrainClass]});
        fields.push_back({IDC_TERRAIN_PERCENT_FIRST - terrainClass, percentages[terrainClass]});
    }
    return fields;
}

// What FiguresFile shows, in both layouts.
const Fields FiguresFields = Fields{
    {IDC_COLUMNS, "30"}, {IDC_ROWS, "10"}, {IDC_TOTAL_SQUARES, "300"}, {IDC_MAP_WRAP, "YES"},
    {IDC_AVERAGE_PRODUCTION, "102"}, {IDC_WATER_MASSES, "1"}, {IDC_LAND_MASSES, "1"},
    // Specialty k is on k - 2 cities.
    {IDC_SPECIALTY_IN, "7"}, {IDC_SPECIALTY_AR, "8"}, {IDC_SPECIALTY_F, "9"}, {IDC_SPECIALTY_B, "10"},
    {IDC_SPECIALTY_AC, "6"}, {IDC_SPECIALTY_TR, "1"}, {IDC_SPECIALTY_DD, "2"}, {IDC_SPECIALTY_SS, "3"},
    {IDC_SPECIALTY_CR, "4"}, {IDC_SPECIALTY_BB, "5"},
} + TerrainFields({"2", "100", "120", "30", "20", "15", "10", "3"}, {"0", "33", "40", "10", "6", "5", "3", "1"});

// What SmallMap shows: 4 x 5 clear squares, efficiencies 50, 50, 51.
const Fields SmallMapFields = Fields{
    {IDC_COLUMNS, "5"}, {IDC_ROWS, "4"}, {IDC_TOTAL_SQUARES, "20"}, {IDC_MAP_WRAP, "NO"},
    {IDC_AVERAGE_PRODUCTION, "50"}, {IDC_WATER_MASSES, "0"}, {IDC_LAND_MASSES, "1"},
    {IDC_SPECIALTY_TR, "2"}, {IDC_SPECIALTY_B, "1"}, {IDC_SPECIALTY_IN, "0"}, {IDC_SPECIALTY_BB, "0"},
} + TerrainFields({"0", "0", "20"}, {"0", "0", "100"});

// What the samples show, as the README's examples of the command-line examiner do.
const Fields ArchipelagoFields = Fields{
    {IDC_COLUMNS, "60"}, {IDC_ROWS, "18"}, {IDC_TOTAL_SQUARES, "1080"}, {IDC_MAP_WRAP, "YES"},
    {IDC_AVERAGE_PRODUCTION, "60"}, {IDC_WATER_MASSES, "2"}, {IDC_LAND_MASSES, "10"},
} + TerrainFields({"12", "851", "53", "23", "8", "3", "10", "120"}, {"1", "78", "4", "2", "0", "0", "0", "11"});
const Fields StraitsFields = Fields{
    {IDC_COLUMNS, "48"}, {IDC_ROWS, "20"}, {IDC_TOTAL_SQUARES, "960"}, {IDC_MAP_WRAP, "NO"},
    {IDC_AVERAGE_PRODUCTION, "62"}, {IDC_WATER_MASSES, "2"}, {IDC_LAND_MASSES, "3"},
    // Player #1's column, City to AC, and the AB row.
    {IDC_UNIT_FIRST, "5"}, {IDC_UNIT_FIRST + 1, "12"}, {IDC_UNIT_FIRST + 2, "6"}, {IDC_UNIT_FIRST + 3, "4"},
    {IDC_UNIT_FIRST + 4, "2"}, {IDC_UNIT_FIRST + 5, "2"}, {IDC_UNIT_FIRST + 6, "3"}, {IDC_UNIT_FIRST + 7, "1"},
    {IDC_UNIT_FIRST + 8, "1"}, {IDC_UNIT_FIRST + 9, "0"}, {IDC_UNIT_FIRST + 10, "1"},
    {IDC_UNIT_AB_FIRST, "1"}, {IDC_UNIT_AB_FIRST + 1, "0"}, {IDC_UNIT_AB_FIRST + 2, "1"},
} + TerrainFields({"15", "240", "409", "70", "23", "34", "37", "132"}, {"1", "25", "42", "7", "2", "3", "3", "13"});

// Row r (0 to 10) of player p's column shows count UnitRowEntries[r]; the
// AB row shows count 13.
Fields UnitFields(const filemaker::UnitTable& units) {
    constexpr int UnitRowEntries[11] = {0, 9, 10, 11, 12, 3, 4, 5, 6, 7, 8};
    Fields fields;
    for (int player = 0; player < 6; ++player) {
        for (int row = 0; row < 11; ++row)
            fields.push_back({IDC_UNIT_FIRST + 11 * player + row, std::to_string(units[player][UnitRowEntries[row]])});
        fields.push_back({IDC_UNIT_AB_FIRST + player, std::to_string(units[player][13])});
    }
    return fields;
}

Fields MassFields(const char* water, const char* land) {
    return {{IDC_WATER_MASSES, water}, {IDC_LAND_MASSES, land}, {IDC_ROWS, "40"}, {IDC_COLUMNS, "40"},
            {IDC_TOTAL_SQUARES, "1600"}};
}

bool HasUnitFields(HWND dialog) {
    for (int id = IDC_UNIT_FIRST; id <= IDC_UNIT_AB_FIRST + 5; ++id)
        if (GetDlgItem(dialog, id) != nullptr) return true;
    return false;
}

void ExpectFields(HWND dialog, const Fields& fields) {
    for (const Field& field : fields) {
        EXPECT_NE(GetDlgItem(dialog, field.id), nullptr) << "field " << field.id;
        EXPECT_EQ(ControlText(dialog, field.id), field.text) << "field " << field.id;
    }
}

// The unit table's player and row of a field id, or nothing for other controls.
std::optional<std::pair<int, int>> UnitPlayerAndRow(int id) {
    if (id >= IDC_UNIT_FIRST && id < IDC_UNIT_AB_FIRST) return std::pair{(id - IDC_UNIT_FIRST) / 11, (id - IDC_UNIT_FIRST) % 11};
    if (id >= IDC_UNIT_AB_FIRST && id < IDC_UNIT_AB_FIRST + 6) return std::pair{id - IDC_UNIT_AB_FIRST, 11};
    return std::nullopt;
}

// The unit table's columns stand so that in each row the fields of players 1
// and 2 and those of players 5 and 6 overlap by a unit or two; those are the
// layout's own.
bool OverlapIsTheLayouts(HWND first, HWND second) {
    const auto a = UnitPlayerAndRow(GetDlgCtrlID(first)), b = UnitPlayerAndRow(GetDlgCtrlID(second));
    if (!a || !b || a->second != b->second) return false;
    const int left = std::min(a->first, b->first), right = std::max(a->first, b->first);
    return right == left + 1 && (left == 0 || left == 4);
}

// No two controls other than group boxes overlap, beyond the unit table's own
// overlaps, and every control lies inside the dialog's client area.
void ExpectTidyLayout(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const auto rectText = [](const RECT& rect) {
        char text[80];
        std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right, rect.bottom);
        return std::string(text);
    };
    const auto shown = [&](HWND control, const RECT& rect) {
        return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + WindowText(control) + "\" " + rectText(rect);
    };
    std::vector<std::pair<HWND, RECT>> placed;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        RECT rect{};
        GetWindowRect(control, &rect);
        EXPECT_TRUE(rect.left >= client.left && rect.top >= client.top && rect.right <= client.right &&
                    rect.bottom <= client.bottom)
            << shown(control, rect) << " lies inside the dialog " << rectText(client);
        const bool groupBox = ClassNameOf(control) == "Button" &&
                              (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
        if (!groupBox) placed.emplace_back(control, rect);
    }
    EXPECT_GT(placed.size(), 10u) << "the dialog has its controls";
    for (size_t i = 0; i < placed.size(); ++i)
        for (size_t j = i + 1; j < placed.size(); ++j) {
            RECT common;
            EXPECT_FALSE(IntersectRect(&common, &placed[i].second, &placed[j].second) &&
                         !OverlapIsTheLayouts(placed[i].first, placed[j].first))
                << shown(placed[i].first, placed[i].second) << " overlaps " << shown(placed[j].first, placed[j].second);
        }
}

// The unit table's fields stand at their columns and rows. The dialog's
// client area is its template's 416 by 242 dialog units, which gives the
// scale (MapDialogRect cannot reach into another process's dialog).
void ExpectUnitColumns(HWND dialog) {
    constexpr int Columns[6] = {286, 305, 325, 345, 365, 384}, AbColumns[6] = {286, 306, 326, 346, 366, 384};
    RECT client{};
    GetClientRect(dialog, &client);
    for (int id = IDC_UNIT_FIRST; id < IDC_UNIT_AB_FIRST + 6; ++id) {
        const auto [player, row] = *UnitPlayerAndRow(id);
        const int x = row == 11 ? AbColumns[player] : Columns[player], y = 40 + 16 * row;
        RECT seen{};
        GetWindowRect(GetDlgItem(dialog, id), &seen);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&seen), 2);
        EXPECT_TRUE(seen.left == MulDiv(x, client.right, 416) && std::abs(seen.top - MulDiv(y, client.bottom, 242)) <= 1)
            << "unit field " << id << " stands at x " << x << ", y " << y << " in dialog units";
    }
}

// ---- The dialogs of one run: each examines one file and checks its dialog.

struct Results {
    const char* name;
    const ExamineKind& kind;
    const char* fileName;
    filemaker::GameFile (*make)();  // nullptr: fileName is a sample in the run folder's map folder
    Fields fields;
    const char* screenshot;  // or nullptr
};

const Results AllResults[] = {
    {"a map with known figures", MapKind, "Figures.MAP", [] { return FiguresFile(); }, FiguresFields, nullptr},
    {"the sample archipelago.map", MapKind, "archipelago.map", nullptr, ArchipelagoFields, "map-results"},
    {"efficiencies 50, 50 and 51 average 50; no wrap shows NO", MapKind, "three-cities.map", [] { return SmallMap(); },
     SmallMapFields, nullptr},
    {"a map without cities shows \"-\" as the average", MapKind, "cityless.map",
     [] { return filemaker::MapFile(filemaker::MapFromText({"LLLLL", "LLLLL", "LLLLL", "LLLLL"}), {}); },
     {{IDC_AVERAGE_PRODUCTION, "-"}, {IDC_SPECIALTY_TR, "0"}, {IDC_SPECIALTY_B, "0"}}, nullptr},
    {"254 separate water squares", MapKind, "masses.map", [] { return SeparateSquaresMap(254, true); },
     MassFields("254", "1"), nullptr},
    {"255 separate water squares", MapKind, "masses.map", [] { return SeparateSquaresMap(255, true); },
     MassFields(">255", "1"), nullptr},
    {"255 separate land squares", MapKind, "masses.map", [] { return SeparateSquaresMap(255, false); },
     MassFields("1", ">255"), nullptr},
    {"a scenario's 72 unit fields, negative and extreme", ScenarioKind, "Figures.SCN",
     [] { return FiguresFile(KnownUnits()); }, FiguresFields + UnitFields(KnownUnits()), nullptr},
    {"the sample straits.scn", ScenarioKind, "straits.scn", nullptr, StraitsFields, "scenario-results"},
    // After a scenario: the map layout shows no unit table.
    {"a long file name shows in full in the title", MapKind,
     "A-Map-Whose-Name-Is-Far-Longer-Than-The-Eighty-Five-Characters-That-An-Old-Title-Buffer-Could-Hold.MAP",
     [] { return SmallMap(); }, SmallMapFields, nullptr},
};

}  // namespace

TEST(ResultsDialog, ShowsEveryFieldInItsLayoutAndClosesOnlyByOkOrEnter) {
    TelvornProcess program;
    bool byEnter = false;  // they close by OK and by Enter in turn
    for (const Results& results : AllResults) {
        SCOPED_TRACE(results.name);
        std::string path = Folders().run + "\\map\\" + results.fileName;
        if (results.make != nullptr) RequireWritten(path = FixturePath(results.fileName), results.make());
        const HWND dialog = ExamineThroughMenu(program, results.kind, path);
        // The title, with the lower-cased name; a failure shows a message box in its place.
        ASSERT_EQ(WindowText(dialog), std::string("Results for ") + results.kind.kindName + " File: " +
                                          LowerCased(results.fileName))
            << ControlText(dialog, MessageBoxTextId);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), program.MainWindow()) << "the dialog is owned by the main window";
        EXPECT_FALSE(IsWindowEnabled(program.MainWindow())) << "the dialog is modal: the main window is disabled";
        EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU, 0) << "no system menu or close box";
        ExpectFields(dialog, results.fields);
        const bool scenario = &results.kind == &ScenarioKind;
        EXPECT_EQ(HasUnitFields(dialog), scenario) << "the unit table is the scenario's alone";
        ExpectTidyLayout(dialog);
        if (scenario) ExpectUnitColumns(dialog);
        if (results.screenshot != nullptr) SaveScreenshot(dialog, results.screenshot);
        ExpectEscLeavesOpen(dialog);
        if (byEnter)
            EXPECT_TRUE(PressKeys(dialog, {{VK_RETURN, false}})) << "the dialog takes the keyboard";
        else
            ClickButton(dialog, IDOK);
        ASSERT_TRUE(WaitUntilClosed(dialog)) << (byEnter ? "Enter" : "OK") << " closes the dialog";
        EXPECT_TRUE(program.ShowsNothingMore()) << "nothing follows the results dialog";
        byEnter = !byEnter;
    }
}
