// The examiner's text report and pictures: the figures as the results dialog shows them, and the pictures decoded
// back and compared square by square with the labels that the same examination leaves; what becomes of pictures
// when files or the picture folder fail.

#include <png.h>

#include <map>
#include <tuple>
#include <utility>

#include "analysis/mass_labelling.h"
#include "examine/examine_path.h"
#include "examiner/picture.h"
#include "examiner_run.h"

namespace {

using filemaker::MapFile;
using filemaker::MapFromText;
using filemaker::MapLayout;
using filemaker::ScenarioFile;
using filemaker::WaterCode;
using testfiles::Land;

// A PNG file read back as RGB pixels.
struct DecodedPicture {
    explicit DecodedPicture(const std::string& path) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
            ADD_FAILURE() << path << ": " << image.message;
            return;
        }
        hasPalette = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
        image.format = PNG_FORMAT_RGB;
        width = static_cast<int>(image.width);
        height = static_cast<int>(image.height);
        rgb.resize(PNG_IMAGE_SIZE(image));
        EXPECT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0) << image.message;
    }
    Rgb At(int x, int y) const {
        const size_t at = 3 * (static_cast<size_t>(y) * width + x);
        return {rgb.at(at), rgb.at(at + 1), rgb.at(at + 2)};
    }
    // Whether the block of scale by scale pixels at (left, top) is all in colour.
    bool BlockIs(int left, int top, int scale, Rgb colour) const {
        for (int y = top; y < top + scale; ++y)
            for (int x = left; x < left + scale; ++x)
                if (At(x, y) != colour) return false;
        return true;
    }

    bool hasPalette = false;
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

// The widest picture, as the README gives it: 60 columns at 13 pixels a square, 2 * 8 + 2 * 780 + 16.
constexpr int WidestPicture = 1592;

bool IsOneOf(Rgb colour, const auto& colours) { return std::ranges::find(colours, colour) != colours.end(); }

// The colours of the squares of each mass, (is water, label): what the tests say of masses.
using MassColours = std::map<std::pair<bool, int>, Rgb>;

// Checks the picture at picturePath of map against its squares' labels, square by square: terrain on the left;
// on the right grey outside the band, a mark under OverflowLabel and NoLabel, and otherwise one colour per mass
// of the kind's shades, different for masses that touch.
MassColours ExpectPictureShowsLabels(const std::string& picturePath, const MapLayout& map,
                                     const std::vector<uint8_t>& labels) {
    SCOPED_TRACE(picturePath);
    const DecodedPicture picture(picturePath);
    const PictureLayout layout = PictureLayoutOf(map.rows, map.columns);
    EXPECT_TRUE(picture.hasPalette);
    EXPECT_EQ(std::pair(picture.width, picture.height), std::pair(layout.width, layout.height));
    EXPECT_LE(picture.width, WidestPicture);
    if (picture.width != layout.width || picture.height != layout.height) return {};

    const int scale = layout.scale;
    const int lastColumn = std::min<int>(map.lastColumn.value_or(map.columns - 1), map.columns - 1);
    MassColours colours;
    std::vector<std::optional<std::pair<bool, int>>> massOf(labels.size());
    for (int r = 0; r < map.rows; ++r) {
        for (int c = 0; c < map.columns; ++c) {
            SCOPED_TRACE(testing::Message() << "square (" << r << "," << c << ")");
            const size_t index = static_cast<size_t>(r * map.columns + c);
            const uint8_t code = map.squares.at(index);
            const int top = layout.top + r * scale;
            const Rgb terrain = HasTerrainClass(code) ? TerrainColours[static_cast<int>(terrainClassTable[code])]
                                                      : UnclassifiedColour;
            EXPECT_TRUE(picture.BlockIs(layout.terrainLeft + c * scale, top, scale, terrain));

            const int left = layout.massesLeft + c * scale;
            const uint8_t label = labels.at(index);
            const Rgb corner = picture.At(left, top);
            if (r == 0 || r == map.rows - 1 || c < map.firstColumn || c > lastColumn) {
                EXPECT_TRUE(picture.BlockIs(left, top, scale, NeverScannedColour));
            } else if (label == OverflowLabel || label == NoLabel) {
                EXPECT_EQ(corner, label == OverflowLabel ? GivenUpColour : UnlabelledColour);
                EXPECT_EQ(picture.At(left + scale / 2, top + scale / 2), MarkColour);
            } else {
                const bool water = IsWaterCode(code);
                EXPECT_TRUE(picture.BlockIs(left, top, scale, corner));
                EXPECT_TRUE(water ? IsOneOf(corner, WaterMassColours) : IsOneOf(corner, LandMassColours));
                const auto [mass, isNew] = colours.try_emplace({water, label}, corner);
                EXPECT_EQ(mass->second, corner) << "a mass in two colours";
                massOf[index] = mass->first;
            }
        }
    }
    // Touching squares of different masses of one kind, across the east-west seam too, differ in colour.
    for (int r = 1; r + 1 < map.rows; ++r) {
        for (int c = 0; c < map.columns; ++c) {
            for (const auto& [dy, dx] : {std::pair(0, 1), {1, -1}, {1, 0}, {1, 1}}) {
                const auto& one = massOf[static_cast<size_t>(r * map.columns + c)];
                const auto& other =
                    massOf[static_cast<size_t>((r + dy) * map.columns + (c + dx + map.columns) % map.columns)];
                if (one && other && one->first == other->first && one != other) {
                    EXPECT_NE(colours[*one], colours[*other]) << "(" << r << "," << c << ") and its neighbour";
                }
            }
        }
    }
    return colours;
}

TEST_F(ExaminerTest, TextAndPicturesShowEachFileAsItsExaminationFoundItAndAFileThatFailsHasNoPicture) {
    const MapLayout worked = MapFromText({"LLLLLL", "WWLLWW", "LWLWLL", "WLLWWL", "LLWLLL"});
    // A band of columns 2 to 6 over lakes, cities, forest and a code of no class.
    MapLayout banded = testfiles::Banded(
        MapFromText({"LLLLLLLLLL", "WWLWLLWLWW", "LWLLWWLLWL", "LL.WLLWWLL", "LLLLLLLLLL", "LWWWWLLLLL"}), 2, 6);
    for (const auto& [square, code] : {std::pair(22, 162), {23, 34}, {33, 200}, {45, 130}})
        banded.squares[square] = static_cast<uint8_t>(code);
    MapLayout clipped = banded;
    clipped.lastColumn = 250;
    // 300 separate water squares across 255 columns: more masses than the labels can hold, past 254 given up.
    MapLayout overflowing = Land(7, 255);
    for (size_t k = 0; k < 300; ++k) overflowing.squares[(1 + 2 * (k / 127)) * 255 + 2 * (k % 127)] = WaterCode;
    overflowing.wrapFlag = 0x80;
    // Thirteen water masses in a row, the first and the last meeting only across the seam: the last would take
    // the first one's shade if the seam were not seen.
    // As wide as pictures get: water and land of 60 columns, 18 rows.
    const std::string halves = std::string(30, 'W') + std::string(30, 'L');
    const MapLayout widest = MapFromText(std::vector<std::string_view>(18, halves));
    MapLayout seam = Land(4, 40);
    for (const int column : {0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33, 39}) seam.squares[40 + column] = WaterCode;
    filemaker::UnitTable units{};  // of the scenario
    units[0][0] = 3;    // cities
    units[0][9] = 12;   // IN
    units[5][13] = -7;  // AB, shown with its sign
    units[2][1] = 99;   // not shown
    const std::vector<filemaker::City> cities{{50, 9}, {50, 9}, {51, 12}, {90, 14}};
    // The picture that an earlier run drew of a file that now fails goes, so that none is taken for the file's.
    filemaker::GameFile newer = MapFile(worked, {});
    newer.version = 2;
    const std::string pictures = output.PathOf("pictures");
    output.Write("pictures/failing.map.png", {1, 2, 3});

    const std::vector<std::pair<std::string, const MapLayout*>> maps{
        {"worked.map", &worked}, {"banded.map", &banded}, {"clipped.map", &clipped}, {"war.scn", &worked},
        {"seam.map", &seam}, {"widest.map", &widest}, {"overflowing.map", &overflowing}};
    std::vector<std::string> arguments{"--picture", pictures};
    for (const auto& [name, map] : maps)
        arguments.push_back(
            files.Write(name, name.ends_with(".scn") ? ScenarioFile(*map, cities, units) : MapFile(*map, {})));
    arguments.push_back(files.Write("failing.map", newer));
    const ProgramRun run = Examine(arguments);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "telvorn-examine: 1 of 8 files could not be examined\n");
    EXPECT_FALSE(std::filesystem::exists(pictures + "/failing.map.png"));

    // The results dialog's figures, line by line, of the overflowing map and of the scenario.
    const std::string wide = files.PathOf("overflowing.map"), war = files.PathOf("war.scn");
    const std::tuple<std::string, std::string, std::string> fields[] = {  // heading they are under, prefix, words
        {wide, "Number of Columns :", "255"}, {wide, "Number of Rows :", "7"}, {wide, "Total Squares :", "1785"},
        {wide, "Map Wrap :", "YES"}, {wide, "Avg City Prod Eff :", "-"}, {wide, "Number of Water Masses:", ">255"},
        {wide, "Number of Land Masses:", "1"}, {wide, "Terrain", "Number % of Map"}, {wide, "Water", "300 16"},
        {wide, "Clear", "1485 83"}, {war, "Map Wrap :", "NO"}, {war, "Avg City Prod Eff :", "60"},  // 241 / 4
        {war, "IN", "2 TR 0"}, {war, "B", "1 CR 0"}, {war, "Player", "#1 #2 #3 #4 #5 #6"},
        {"Unit Counts", "City", "3 0 0 0 0 0"}, {"Unit Counts", "IN", "12 0 0 0 0 0"},
        {"Unit Counts", "AB", "0 0 0 0 0 -7"}};
    for (const auto& [heading, prefix, words] : fields)
        EXPECT_EQ(Field(run.out, prefix, heading), words) << prefix << " under " << heading;
    ExpectInOrder(run.out, {"Results for Scenario File: " + war, "Unit Counts"});
    const size_t unitCounts = run.out.find("Unit Counts");
    EXPECT_GT(unitCounts, run.out.find(war));  // none for the maps before it
    EXPECT_EQ(run.out.substr(unitCounts, run.out.find("Results for", unitCounts) - unitCounts).find("99"),
              std::string::npos);

    std::map<std::string, MassColours> colours;
    for (const auto& [name, map] : maps) {
        EXPECT_EQ(ExaminePath(*KindFromExtension(name), files.PathOf(name)), LoadSucceeded) << name;
        colours[name] = ExpectPictureShowsLabels(pictures + "/" + name + ".png", *map, massLabels());
    }
    // Two water masses that meet only across the seam, where the count keeps them apart, and one land mass.
    EXPECT_EQ(colours["worked.map"].size(), 3u);
    EXPECT_GT(std::ranges::count(massLabels(), OverflowLabel), 0);  // of the overflowing map, examined last
}

TEST(MapPicture, IsNoWiderThanAMapOf60Columns) {
    int widest = 0;
    for (int rows = 0; rows <= 255; ++rows)
        for (int columns = 0; columns <= 255; ++columns)
            widest = std::max(widest, PictureLayoutOf(rows, columns).width);
    EXPECT_EQ(std::pair(widest, PictureLayoutOf(18, 60).width), std::pair(WidestPicture, WidestPicture));
}

TEST(MapPicture, MarksScannedSquaresLeftWithoutALabelAndReadsMissingSquaresAsUnlabelledClearLand) {
    testfiles::TempFolder folder;
    const MapHeader header{.rows = 4, .columns = 3, .squareCount = 9, .firstColumn = 0, .lastColumn = 2};
    // The squares and labels given stop short; the picture shows what they would be in full.
    const MapLayout shown = MapFromText({"WWW", "WLW", "WWL", "LLL"});
    std::vector<uint8_t> labels{NoLabel, NoLabel, NoLabel, 0, NoLabel, 0, 0};
    const std::span<const uint8_t> squares(shown.squares.data(), 8);
    ASSERT_EQ(WriteMapPicture(folder.PathOf("p.png"), header, squares, labels), std::nullopt);
    EXPECT_NE(WriteMapPicture(folder.PathOf("no/such/folder/p.png"), header, squares, labels), std::nullopt);
    labels.resize(shown.squares.size(), NoLabel);
    ExpectPictureShowsLabels(folder.PathOf("p.png"), shown, labels);
}

TEST_F(ExaminerTest, APictureFolderThatCannotBeMadeStopsTheRunAndFilesThatWouldShareAPictureOrOneNotWrittenFailIt) {
    const std::string scenario = files.Write("war.scn", ScenarioFile(testfiles::SmallMap(), {}, {}));
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--picture", scenario, scenario}, "cannot make the picture folder"},  // a file, not a folder
        {{"--picture", scenario + "/sub", scenario}, "cannot make the picture folder"},
        {{"--picture=", scenario}, "is not a value of '--picture'"},
    };
    for (const auto& [arguments, complaint] : refused) ExpectRefused(Examine(arguments), {complaint});
    // One file named twice shares its picture with itself; a missing folder is made, with the folder above it.
    const std::string one = files.Write("maps/one/isle.scn", ScenarioFile(testfiles::SmallMap(), {}, {}));
    const std::string two = files.Write("maps/two/deep/isle.scn", ScenarioFile(testfiles::SmallMap(), {}, {}));
    const ProgramRun twice =
        Examine({"--picture", output.PathOf("new/pictures"), scenario, files.PathOf("maps/../war.scn")});
    EXPECT_EQ(twice.exitStatus, 0) << twice.err;
    // Files of one name found in a folder are pictured at their places below it, in folders made as needed.
    const ProgramRun recursive = Examine({"-r", "--picture", output.PathOf("places"), files.PathOf("maps")});
    EXPECT_EQ(recursive.exitStatus, 0) << recursive.err;
    for (const std::string place : {"one/isle.scn.png", "two/deep/isle.scn.png"})
        EXPECT_TRUE(std::filesystem::exists(output.PathOf("places/" + place))) << place;
    // Their folders given each on its own would picture both as isle.scn.png: those two fail, the others not; a
    // path that fails anyway leaves the picture of a file of its name alone.
    const std::string shared = output.PathOf("shared");
    const ProgramRun clash = Examine({"--format=csv", "--picture", shared, files.PathOf("maps/one"),
                                      files.PathOf("maps/two/deep"), scenario, files.PathOf("gone/war.scn")});
    EXPECT_EQ(std::pair(clash.exitStatus, clash.err),
              std::pair(1, std::string("telvorn-examine: 3 of 4 files could not be examined\n")));
    const auto lines = CsvLines(clash.out);
    ASSERT_EQ(lines.size(), 5u) << clash.out;
    const auto sharing = [&shared](const std::string& other) {
        return "-11 would share the picture '" + shared + "/isle.scn.png' with '" + other + "'";
    };
    for (const auto& [line, expected] : {std::pair(1, sharing(two)), {2, sharing(one)}, {3, std::string("0 ")},
                                         {4, std::string("-11 No such file or directory")}})
        EXPECT_EQ(lines[line][3] + " " + lines[line][5], expected) << lines[line][0];
    EXPECT_EQ(lines[1][6], "picture them in separate runs, or give a folder that holds both");
    EXPECT_TRUE(std::filesystem::exists(shared + "/war.scn.png"));
    // A picture that cannot be written (a folder holds its name) fails the run, though every file was examined.
    std::filesystem::create_directories(output.PathOf("held/war.scn.png"));
    const ProgramRun held = Examine({"--picture", output.PathOf("held"), scenario});
    EXPECT_EQ(held.exitStatus, 1);
    EXPECT_NE(held.err.find("war.scn.png': cannot write the picture ("), std::string::npos) << held.err;
}

}  // namespace
