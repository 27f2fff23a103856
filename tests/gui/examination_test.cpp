// Examinations through the menu: the results dialogs 134 (map) and 135
// (scenario), every field by its control id, the title, how they close and
// their layouts; or, for a file that fails, one "File Error!" box with the
// exact three-line text, and nothing more.

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>

#include "tests/gui/gui_driver.h"

namespace {

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

using Fields = std::vector<std::pair<int, std::string>>;  // control id and text

// What FiguresFile shows, in both layouts.
const Fields FiguresFields = [] {
    Fields fields{
        {IDC_COLUMNS, "30"}, {IDC_ROWS, "10"}, {IDC_TOTAL_SQUARES, "300"}, {IDC_MAP_WRAP, "YES"},
        {IDC_AVERAGE_PRODUCTION, "102"}, {IDC_WATER_MASSES, "1"}, {IDC_LAND_MASSES, "1"},
        // Specialty k is on k - 2 cities.
        {IDC_SPECIALTY_IN, "7"}, {IDC_SPECIALTY_AR, "8"}, {IDC_SPECIALTY_F, "9"}, {IDC_SPECIALTY_B, "10"},
        {IDC_SPECIALTY_AC, "6"}, {IDC_SPECIALTY_TR, "1"}, {IDC_SPECIALTY_DD, "2"}, {IDC_SPECIALTY_SS, "3"},
        {IDC_SPECIALTY_CR, "4"}, {IDC_SPECIALTY_BB, "5"}};
    // Terrain counts, City to Edge, and their percentages of the squares.
    const char* counts[] = {"2", "100", "120", "30", "20", "15", "10", "3"};
    const char* percents[] = {"0", "33", "40", "10", "6", "5", "3", "1"};
    for (int terrain = 0; terrain < 8; ++terrain)
        fields.insert(fields.end(), {{IDC_TERRAIN_COUNT_FIRST + terrain, counts[terrain]},
                                     {IDC_TERRAIN_PERCENT_FIRST - terrain, percents[terrain]}});
    return fields;
}();

// The fields and, after them, the unit table's: row r (0 to 10) of player p's
// column shows count UnitRowEntries[r]; the AB row shows count 13.
Fields WithUnitFields(Fields fields, const filemaker::UnitTable& units) {
    constexpr int UnitRowEntries[11] = {0, 9, 10, 11, 12, 3, 4, 5, 6, 7, 8};
    for (int player = 0; player < 6; ++player) {
        for (int row = 0; row < 11; ++row)
            fields.push_back({IDC_UNIT_FIRST + 11 * player + row, std::to_string(units[player][UnitRowEntries[row]])});
        fields.push_back({IDC_UNIT_AB_FIRST + player, std::to_string(units[player][13])});
    }
    return fields;
}

// Where a unit field stands: its column in dialog units, the AB row's apart,
// and its row (0 to 10, 11 for AB); nothing for other controls. The fields
// are 20 wide, so two columns less than 20 apart make their fields overlap:
// players 1 and 2 and players 5 and 6 in each row, but only 5 and 6 in the
// AB row, 23 pairs in all.
std::optional<POINT> UnitPlace(int id) {
    constexpr int Columns[6] = {286, 305, 325, 345, 365, 384}, AbColumns[6] = {286, 306, 326, 346, 366, 384};
    if (id >= IDC_UNIT_FIRST && id < IDC_UNIT_AB_FIRST)
        return POINT{Columns[(id - IDC_UNIT_FIRST) / 11], (id - IDC_UNIT_FIRST) % 11};
    if (id >= IDC_UNIT_AB_FIRST && id < IDC_UNIT_AB_FIRST + 6) return POINT{AbColumns[id - IDC_UNIT_AB_FIRST], 11};
    return std::nullopt;
}

std::string Named(HWND control) {
    return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + WindowText(control) + "\"";
}

// No two controls other than group boxes overlap, except exactly the unit table's pairs.
void ExpectTidyLayout(HWND dialog, bool scenario) {
    RECT client{};
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::vector<std::pair<HWND, RECT>> placed;
    int unitFields = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        RECT rect{}, common{};
        GetWindowRect(control, &rect);
        EXPECT_TRUE(IntersectRect(&common, &rect, &client) && EqualRect(&common, &rect))
            << Named(control) << " lies inside the dialog";
        // The template's 416 by 242 dialog units give the scale, as
        // MapDialogRect cannot reach into another process's dialog.
        if (const auto unit = UnitPlace(GetDlgCtrlID(control))) {
            ++unitFields;
            EXPECT_EQ(rect.left - client.left, MulDiv(unit->x, client.right - client.left, 416))
                << "unit field " << GetDlgCtrlID(control) << " stands at x " << unit->x;
            EXPECT_NEAR(rect.top - client.top, MulDiv(40 + 16 * unit->y, client.bottom - client.top, 242), 1)
                << "unit field " << GetDlgCtrlID(control) << " stands in row " << unit->y;
        }
        if (ClassNameOf(control) != "Button" || (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX)
            placed.emplace_back(control, rect);
    }
    EXPECT_EQ(unitFields, scenario ? 72 : 0) << "the unit table is the scenario's alone";
    int unitPairs = 0;
    for (size_t i = 0; i < placed.size(); ++i)
        for (size_t j = i + 1; j < placed.size(); ++j) {
            RECT common{};
            if (!IntersectRect(&common, &placed[i].second, &placed[j].second)) continue;
            const auto a = UnitPlace(GetDlgCtrlID(placed[i].first)), b = UnitPlace(GetDlgCtrlID(placed[j].first));
            const bool unitPair = a && b && a->y == b->y && std::abs(a->x - b->x) < 20;
            unitPairs += unitPair;
            EXPECT_TRUE(unitPair) << Named(placed[i].first) << " overlaps " << Named(placed[j].first);
        }
    EXPECT_EQ(unitPairs, scenario ? 23 : 0) << "the unit table's fields overlap where its columns make them";
}

constexpr const char* NewerVersion = "File is from newer version of Corvanta. An update may be available.";

struct Examination {
    const char* name;
    ExamineKind kind;  // a copy: GCC 12 builds a row with a reference here and no fields wrong
    const char* fileName;
    filemaker::GameFile (*make)();  // nullptr: fileName is a sample in the run folder's map folder
    Fields fields;                  // of the results dialog
    const char* reason = nullptr;   // of the error box that shows instead
    bool held = false;              // held without sharing: the dialog sees it, the program cannot open it
    const char* screenshot = nullptr;
};

const Examination Examinations[] = {
    {"a map with known figures", MapKind, "Figures.MAP", [] { return FiguresFile(); }, FiguresFields},
    {"the sample archipelago.map", MapKind, "archipelago.map", nullptr, {{IDC_COLUMNS, "60"}, {IDC_ROWS, "18"}},
     nullptr, false, "map-results"},
    // 255 single water squares, none touching another, in 40 x 40 land.
    {"255 water masses", MapKind, "masses.map",
     [] {
         filemaker::MapLayout map;
         map.rows = map.columns = 40;
         map.squares.assign(40 * 40, ClearCode);
         for (size_t placed = 0; placed < 255; ++placed) map.squares[(1 + placed / 20 * 2) * 40 + placed % 20 * 2] = WaterCode;
         return filemaker::MapFile(map, {});
     },
     {{IDC_WATER_MASSES, ">255"}, {IDC_LAND_MASSES, "1"}}},
    {"a scenario's 72 unit fields, negative and extreme", ScenarioKind, "Figures.SCN",
     [] { return FiguresFile(KnownUnits()); }, WithUnitFields(FiguresFields, KnownUnits())},
    {"the sample straits.scn", ScenarioKind, "straits.scn", nullptr, {{IDC_COLUMNS, "48"}, {IDC_ROWS, "20"}},
     nullptr, false, "scenario-results"},
    // After a scenario, the map layout again; with no wrap.
    {"a long file name shows in full in the title", MapKind,
     "A-Map-Whose-Name-Is-Far-Longer-Than-The-Eighty-Five-Characters-That-An-Old-Title-Buffer-Could-Hold.MAP",
     [] { return SmallMap(); }, {{IDC_MAP_WRAP, "NO"}, {IDC_COLUMNS, "5"}, {IDC_AVERAGE_PRODUCTION, "50"}}},
    // Chosen by its name in any script, which the lower-casing of A to Z leaves as it is.
    {"a Cyrillic name", MapKind, "Москва.MAP", [] { return SmallMap(); }, {{IDC_COLUMNS, "5"}}},
    {"a file that cannot be opened", MapKind, "held.map", [] { return SmallMap(); }, {}, "Unable to find file.", true},
    {"a scenario chosen under Examine Map", MapKind, "wrong-kind.scn", [] { return SmallFile(true); }, {},
     "File data is bad."},
    {"a map of version 0", MapKind, "version-0.map", [] { return SmallMap(0); }, {}, UnsupportedVersion},
    {"a map of version 2", MapKind, "version-2.map", [] { return SmallMap(2); }, {}, NewerVersion, false, "error-box"},
    {"a scenario without its SCND chunk", ScenarioKind, "no-units.scn",
     [] {
         filemaker::GameFile file = SmallMap();
         file.typeTag = "CSCN";
         return file;
     },
     {}, "File data is bad."},
    // The error names the whole path, 164 characters, past the 127 an old buffer held.
    {"a path longer than 127 characters", MapKind,
     "a-folder-whose-name-takes-up-many-characters-of-the-path\\"
     "and-another-one-below-it-so-that-the-path-passes-the-old-limit\\Long-Path-Version-2.MAP",
     [] { return SmallMap(2); }, {}, NewerVersion},
};

}  // namespace

TEST(Examination, ShowsResultsInTheirLayoutOrOneErrorBoxWithItsReason) {
    TelvornProcess program;
    bool byEnter = false;  // results dialogs close by OK and by Enter in turn
    for (const Examination& examination : Examinations) {
        SCOPED_TRACE(examination.name);
        std::string path = Folders().run + "\\map\\" + examination.fileName;
        if (examination.make != nullptr) RequireWritten(path = FixturePath(examination.fileName), examination.make());
        const Handle held(
            examination.held ? CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) : nullptr,
            &CloseHandle);
        ASSERT_TRUE(!examination.held || held.get() != INVALID_HANDLE_VALUE) << "the file can be held without sharing";
        const HWND dialog = ChooseFile(program, OpenFileDialog(program, examination.kind), path);
        if (examination.screenshot != nullptr) SaveScreenshot(dialog, examination.screenshot);
        if (examination.reason != nullptr) {
            ExpectFileError(program, dialog, examination.kind, path, examination.reason);
            continue;
        }
        // The title, with the lower-cased name; a failure shows a message box in its place.
        ASSERT_EQ(WindowText(dialog), std::string("Results for ") + examination.kind.kindName + " File: " +
                                          LowerCased(examination.fileName))
            << ControlText(dialog, MessageBoxTextId);
        for (const auto& [id, text] : examination.fields) EXPECT_EQ(ControlText(dialog, id), text) << "field " << id;
        ExpectTidyLayout(dialog, examination.kind.command == IDM_EXAMINE_SCENARIO);
        ExpectModalClosesByOkOrEnter(program, dialog, byEnter);
        byEnter = !byEnter;
    }
}
