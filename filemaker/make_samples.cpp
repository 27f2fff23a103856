// telvorn-make-samples: writes the project's sample game files, drawn below
// as maps of letters, into the folder given on the command line.

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "filemaker/crafted_maps.h"
#include "filemaker/game_file_writer.h"

namespace {

using filemaker::City;
using filemaker::MapLayout;
using filemaker::UnitTable;

// The letters of the drawings and the terrain code that each stands for.
constexpr std::array<std::pair<char, uint8_t>, 8> TerrainLetters{{
    {'~', 2},    // water
    {'.', 0},    // clear
    {'f', 34},   // forest
    {'h', 66},   // hills (rough)
    {'^', 98},   // mountain
    {'r', 130},  // river
    {'*', 162},  // city
    {'#', 164},  // edge of the world
}};
constexpr char CityLetter = '*';

struct Sample {
    std::string_view fileName;
    std::vector<std::string_view> drawing;  // one text per row, north first
    uint8_t wrapFlag = 0;
    uint8_t borderWidth = 0;           // edge columns on either side, left out of the band
    std::vector<City> cityPattern;     // repeated over the drawing's cities, west to east, north to south
    std::optional<UnitTable> units;    // a scenario's players
};

// An island world that wraps east-west, with an atoll around its own lagoon
// and an island across the seam.
Sample Archipelago() {
    return {"archipelago.map",
            {
                "############################################################",
                "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
                "~~~..~~~~~~~~~~~~~~~~~~~~ff.~~~~~~~~~~~~~~~~~~~~~~~~hh~~~~~~",
                "~~.f*.~~~~~~~~~~~~~~~~~~.f^^f.~~~~~~~~~~~~~~~~~~~~~.h*.~~~~~",
                "~~~..~~~~~~~~.~~~~~~~~~.f^^^h*.~~~~~~~~~~~~~~~~~~~~~..~~~~~~",
                "~~~~~~~~~~~~~*~~~~~~~~~.fr^hf..~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
                "~~~~~~~~~~~~~~~~~~~~~~~~.r.f...~~~~~~~~~~.ffff.~~~~~~~~~~~~~",
                "~~~~~~~~~~~~~~~~~~~~~~~~~*r...~~~~~~~~~~~f~~~~f~~~~~~~~~~~~~",
                "~~~~~~~~.hh.~~~~~~~~~~~~~~~~~~~~~~~~~~~~~f~~~~*~~~~~~~~~~~~~",
                "~~~~~~~f^^h*.~~~~~~~~~~~~~~~~~~~~~~~~~~~~*~~~~.~~~~~~~~~~~~~",
                "~~~~~~~.fh..~~~~~~~~~~~~~~~~~~~~~~~~~~~~~.ff.f.~~~~~~~..~~~~",
                "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~.*f.~~~",
                "~~~~~~~~~~~~~~~~~~.~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~..~~~~~",
                "~~~~~~~~~~~~~~~~~*.f~~~~~~~~~~~~.~~~~~~~~~~~~~~~~~~~~~~~~~~~",
                "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~*h~~~~~~~~~~~~~~~~~~~~~~~~~~.",
                "..~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~.",
                "*.~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
                "############################################################",
            },
            1,
            0,
            {{62, 3}, {48, 4}, {71, 9}, {55, 5}, {80, 8}, {44, 3}},
            std::nullopt};
}

// Two continents with mountain ranges, rivers and inland lakes, and a few
// islands in the ocean between them.
Sample TwoContinents() {
    return {"two-continents.map",
            {
                "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
                "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
                "~~~~~....ff~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~hhh..~~~~~~~~~~~",
                "~~~~..*.fffff..~~~~~~~~~~~~~~~~~~~~~~~~~~~~...h^^^h...~~~~~~~~~~",
                "~~~..ffff^^^fff...~~~~~~~.~~~~~~~~~~~~~~~..*..h^^h..ff..~~~~~~~~",
                "~~~.ffff^^^^^hff..~~~~~~~~~~~~~~~~~~~~~~..fff..rh...fff.~~~~~~~~",
                "~~..fff^^^r^^hf....~~~~~~~~~~~~~~~~~~~~..ffff.r....ffff*.~~~~~~~",
                "~~.fff..h.r..h..~~..~~~~~~~~~~~~~~~~~~~.fff..r..~~~..ff..~~~~~~~",
                "~~.*f...rr....*.~~~.~~~~~~~~~~~~~~~~~~~..f...r.~~~~~......~~~~~~",
                "~~~..f..r..f.....~...~~~~~~~~~~~~~~~~~~~.*..rr..~~~...hh..~~~~~~",
                "~~~~..f.r.fff.hh....~~~~~~~.h~~~~~~~~~~~...r...........^^..~~~~~",
                "~~~~~...r..ff.h^^h..~~~~~~~~*f~~~~~~~~~~~..r...ff..*..h^^h.~~~~~",
                "~~~~~~..rr...h^^^h.~~~~~~~~~~~~~~~~~~~~~~..rr..fff...h^^^h..~~~~",
                "~~~~~~~..r...*.hh..~~~~~~~~~~~~~~~~~~~~~~~...r..ff.....hh...~~~~",
                "~~~~~~~~.r..~~~....~~~~~~~~~~~~~~~~~~~~~~~~..r.........f...~~~~~",
                "~~~~~~~~~r~~~~~~..~~~~~~~~~~~.~~~~~~~~~~~~~~.*r...fff.ff..~~~~~~",
                "~~~~~~~~~~~~~~~~~~~~~~~~~~~~.*h~~~~~~~~~~~~~~..r...ff....~~~~~~~",
                "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~..~~~~~~~~~~~~~~~~r~..~~...~~~~~~~~",
                "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
                "~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~",
            },
            0,
            0,
            {{75, 9}, {52, 10}, {66, 11}, {40, 0}, {83, 12}, {58, 6}, {61, 7}, {47, 9}},
            std::nullopt};
}

// A northern and a southern land, walled by the world's edge, facing each
// other across a strait with an island in it; the south holds an inland sea.
// Four players hold the cities; two seats are empty.
Sample Straits() {
    UnitTable units{};
    // Entries: City, -, -, TR, DD, SS, CR, BB, AC, IN, AR, F, B, AB, -.
    units[0] = {5, 0, 0, 2, 3, 1, 1, 0, 1, 12, 6, 4, 2, 1, 0};
    units[1] = {4, 0, 0, 1, 2, 2, 0, 1, 0, 10, 5, 3, 1, 0, 0};
    units[2] = {3, 0, 0, 2, 1, 0, 1, 0, 0, 8, 4, 2, 0, 1, 0};
    units[3] = {2, 0, 0, 0, 1, 1, 0, 0, 0, 6, 2, 1, 1, 0, 0};
    return {"straits.scn",
            {
                "################################################",
                "#..ff....hh^^^h....ff.....*....fff...hh^^h....f#",
                "#.fff.*..h^^^^h..r.fff.........ffff..h^^^h..*.f#",
                "#..ff....h^^^h...r..ff...ff...........hhh.....f#",
                "#...*.....hh.....r.......fff.....*....r.......f#",
                "#.......ff......rr...h...ff.......rrrrr...ff..f#",
                "#~.....fff...*..r..hhh.........rrr.........ff..#",
                "#~~~.......~~~~~r~~~...*...~~~~r~~~~~~~~.......#",
                "#~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~#",
                "#~~~~~~~~~~~~~~~~~~~..h*~~~~~~~~~~~~~~~~~~~~~~~#",
                "#~~~~~~~~~~~~~~~~~~~~~..~~~~~~~~~~~~~~~~~~~~~~~#",
                "#~~~~.*...~~~~~~~~~~~~~~~~~~~~~~~~~~......~~~~~#",
                "#~~....ff....~~~~~~~~..f...~~~~~.....*.ff....~~#",
                "#...h..fff.....r......~~~......rr.....fff......#",
                "#..h^h..f..*...r....~~~~~~~.....r..h.....*.....#",
                "#.h^^^h.......rr...~~~~~~~~~....r.h^h.........f#",
                "#..h^h.....rrr.....*~~~~~~~~...r..h^^h.....ff.f#",
                "#...h.....r.....ff...~~~~~..*..r...hh.....fff.f#",
                "#..*..ff..r......fff.........rr............f...#",
                "################################################",
            },
            0,
            1,
            {{70, 9}, {64, 10}, {51, 4}, {77, 11}, {45, 3}, {59, 12}, {68, 9}, {53, 6}, {80, 8}},
            units};
}

// The map that the drawing shows, or nothing when its rows differ in length
// or it uses a letter that stands for no terrain.
std::optional<MapLayout> MapFromDrawing(const Sample& sample) {
    MapLayout map;
    map.rows = static_cast<uint8_t>(sample.drawing.size());
    map.columns = static_cast<uint8_t>(sample.drawing.front().size());
    for (std::string_view row : sample.drawing) {
        if (row.size() != map.columns) return std::nullopt;
        for (char letter : row) {
            const auto terrain = std::ranges::find(TerrainLetters, letter, &std::pair<char, uint8_t>::first);
            if (terrain == TerrainLetters.end()) return std::nullopt;
            map.squares.push_back(terrain->second);
        }
    }
    map.wrapFlag = sample.wrapFlag;
    map.firstColumn = sample.borderWidth;
    map.lastColumn = static_cast<uint8_t>(map.columns - 1 - sample.borderWidth);
    return map;
}

// One city record for each city square of the drawing.
std::vector<City> CitiesOf(const Sample& sample) {
    std::vector<City> cities;
    for (std::string_view row : sample.drawing)
        for (char letter : row)
            if (letter == CityLetter) cities.push_back(sample.cityPattern[cities.size() % sample.cityPattern.size()]);
    return cities;
}

constexpr std::string_view ProgramName = "telvorn-make-samples";

constexpr int AllWritten = 0;
constexpr int SomeNotWritten = 1;
constexpr int UsageError = 2;
constexpr int ListNotWritten = 3;

constexpr std::string_view UsageText =
    R"(Usage: telvorn-make-samples [--crafted] [--] FOLDER

Writes the sample map and scenario files into FOLDER (made when missing) and
lists their paths; with --crafted, the 255 by 255 maps shaped to load the
mass labelling instead.

Options:
  --crafted   write the crafted maps
  -h, --help  show this text
  --version   show the version
  --          end the options, so that FOLDER may start with '-'

Exit status: 0 when every file was written, 1 when any could not be, 2 for a
usage error, 3 when the list of paths could not be written (a full disk, a
closed output); a broken pipe ends the program by its signal.
)";

// The files to write: their paths below folder and their bytes.
using Files = std::vector<std::pair<std::string, std::optional<std::vector<uint8_t>>>>;

Files Samples(const std::filesystem::path& folder) {
    Files files;
    for (const Sample& sample : {Archipelago(), TwoContinents(), Straits()}) {
        const std::optional<MapLayout> map = MapFromDrawing(sample);
        std::optional<std::vector<uint8_t>> bytes;
        if (map)
            bytes = filemaker::Build(sample.units ? filemaker::ScenarioFile(*map, CitiesOf(sample), *sample.units)
                                                  : filemaker::MapFile(*map, CitiesOf(sample)));
        files.emplace_back((folder / sample.fileName).string(), std::move(bytes));
    }
    return files;
}

// The crafted maps that load the mass labelling, for timing the examiner on them.
Files CraftedMaps(const std::filesystem::path& folder) {
    Files files;
    for (const auto& [name, map] : filemaker::CraftedMaps())
        files.emplace_back((folder / (name + ".map")).string(), filemaker::Build(filemaker::MapFile(map, {})));
    return files;
}

int Usage(std::string_view complaint) {
    std::cerr << ProgramName << ": " << complaint << "\nTry '" << ProgramName << " --help'.\n";
    return UsageError;
}

// True when what was written to std::cout arrived; otherwise says why on stderr.
bool Delivered() {
    std::cout.flush();
    if (std::cout) return true;
    const int error = errno;
    std::cerr << ProgramName << ": cannot write the list of files"
              << (error != 0 ? " (" + std::generic_category().message(error) + ")" : "") << '\n';
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    bool crafted = false;
    bool optionsEnded = false;
    std::vector<std::string_view> folders;
    for (const std::string_view argument : std::vector<std::string_view>(argv + 1, argv + argc)) {
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            folders.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h" || argument == "--version") {
            std::cout << (argument == "--version" ? "telvorn-make-samples " TELVORN_VERSION "\n" : UsageText);
            return Delivered() ? AllWritten : ListNotWritten;
        } else if (argument == "--crafted") {
            crafted = true;
        } else {
            return Usage("unknown option '" + std::string(argument) + "'");
        }
    }
    if (folders.size() != 1) return Usage("give one FOLDER");

    const std::filesystem::path folder = folders.front();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << ProgramName << ": cannot make the folder " << folder << ": " << error.message() << '\n';
        return SomeNotWritten;
    }

    int exitStatus = AllWritten;
    errno = 0;
    for (const auto& [path, bytes] : crafted ? CraftedMaps(folder) : Samples(folder)) {
        if (!bytes || !filemaker::WriteBytes(path, *bytes)) {
            std::cerr << ProgramName << ": " << (bytes ? "cannot write " : "the drawing is not a map: ") << path << '\n';
            exitStatus = SomeNotWritten;
            continue;
        }
        std::cout << path << '\n';
    }
    return Delivered() ? exitStatus : ListNotWritten;
}
