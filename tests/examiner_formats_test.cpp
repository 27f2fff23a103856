// The json and csv reports: their exact keys and columns, and texts of any bytes carried through them intact.

#include <cstdio>
#include <tuple>

#include "examiner/html_report.h"
#include "examiner/report.h"
#include "examiner_run.h"

namespace {

using filemaker::MapFile;
using filemaker::MapFromText;

TEST_F(ExaminerTest, JsonAndCsvHoldExactlyTheKeysAndFiguresOfEachFileInColumnsOfEqualCount) {
    // Only the middle row is scanned, and its two water squares face each other across the seam.
    const std::string map =
        files.Write("isle, \"b\".map", MapFile(MapFromText({"WWWW", "WLLW", "WWWW"}), {{50, 3}, {51, 13}}));
    // A path of odd characters and one byte of no UTF-8, whose bytes come back from their hex.
    const std::string missing = files.PathOf("we\"ird\\name\x01" "caf\xe9.scn");
    std::string hex;
    char digits[3];
    for (const unsigned char byte : missing) hex.append(digits, std::snprintf(digits, sizeof digits, "%02x", byte));
    const ProgramRun run = Examine({"--format", "json", map, missing});
    EXPECT_EQ(run.out,
              "[\n"
              "  {\"path\": " + JsonString(map) + ", \"pathBytes\": null, \"kind\": \"map\", \"status\": 0, "
              "\"message\": null, \"reason\": null, \"hint\": null, \"rows\": 3, \"columns\": 4, "
              "\"totalSquares\": 12, \"wraps\": false, "
              "\"terrainCounts\": {\"City\": 0, \"Water\": 10, \"Clear\": 2, \"Forest\": 0, \"Mountain\": 0, "
              "\"River\": 0, \"Rough\": 0, \"Edge\": 0}, "
              "\"terrainPercentages\": {\"City\": 0, \"Water\": 83, \"Clear\": 16, \"Forest\": 0, \"Mountain\": 0, "
              "\"River\": 0, \"Rough\": 0, \"Edge\": 0}, "
              "\"cityCount\": 2, \"productionEfficiencySum\": 101, \"averageProductionEfficiency\": 50, "
              "\"specialtyCounts\": {\"IN\": 0, \"AR\": 0, \"F\": 0, \"B\": 0, \"AC\": 0, \"TR\": 1, \"DD\": 0, "
              "\"SS\": 0, \"CR\": 0, \"BB\": 0}, "
              "\"waterMassCount\": 2, \"landMassCount\": 1, \"playerUnits\": null},\n"
              "  {\"path\": " + JsonString(missing) + ", \"pathBytes\": \"" + hex + "\", \"kind\": \"scenario\", "
              "\"status\": -11, \"message\": \"Unable to find file.\", \"reason\": \"No such file or directory\", "
              "\"hint\": null, "
              "\"rows\": null, \"columns\": null, "
              "\"totalSquares\": null, \"wraps\": null, \"terrainCounts\": null, \"terrainPercentages\": null, "
              "\"cityCount\": null, \"productionEfficiencySum\": null, \"averageProductionEfficiency\": null, "
              "\"specialtyCounts\": null, \"waterMassCount\": null, \"landMassCount\": null, \"playerUnits\": null}\n"
              "]\n");

    // Without squares or cities the figures that need them are null. The unit table's rows are named as the
    // results dialog names them, and its entries that the dialog does not show are not reported.
    filemaker::UnitTable units{};
    units[0][0] = 4;
    units[0][9] = 12;
    units[5][13] = -1;
    units[1][1] = units[2][2] = units[3][14] = 99;
    const std::string war = files.Write("war.scn", filemaker::ScenarioFile(MapFromText({"LL", "LL"}), {}, units));
    const std::string empty = files.Write("empty.map", MapFile(testfiles::Land(0, 5), {}));
    const ProgramRun nulls = Examine({"--format=json", empty, war});
    EXPECT_EQ(nulls.exitStatus, 0);
    EXPECT_NE(nulls.out.find("\"terrainPercentages\": {\"City\": null, \"Water\": null, \"Clear\": null, "
                           "\"Forest\": null, \"Mountain\": null, \"River\": null, \"Rough\": null, \"Edge\": null}"),
              std::string::npos)
        << nulls.out;
    EXPECT_NE(nulls.out.find("\"averageProductionEfficiency\": null"), std::string::npos);
    const auto player = [](const std::string& key, int city, int infantry, int ab) {
        return "\"" + key + "\": {\"City\": " + std::to_string(city) + ", \"IN\": " + std::to_string(infantry) +
               ", \"AR\": 0, \"F\": 0, \"B\": 0, \"TR\": 0, \"DD\": 0, \"SS\": 0, \"CR\": 0, \"BB\": 0, \"AC\": 0, "
               "\"AB\": " + std::to_string(ab) + "}";
    };
    EXPECT_NE(nulls.out.find("\"playerUnits\": {" + player("1", 4, 12, 0) + ", " + player("2", 0, 0, 0) + ", " +
                           player("3", 0, 0, 0) + ", " + player("4", 0, 0, 0) + ", " + player("5", 0, 0, 0) + ", " +
                           player("6", 0, 0, -1) + "}}"),
              std::string::npos)
        << nulls.out;

    // The same in csv: a header and one line of as many columns per file, each field in the column of its name.
    const ProgramRun csv = Examine({"--format", "csv", map, war, missing});
    EXPECT_EQ(SchemaProblems(nulls.out, csv.out), "");
    const auto lines = CsvLines(csv.out);
    ASSERT_EQ(lines.size(), 4u) << csv.out;
    const std::vector<std::string>& header = lines[0];
    for (const auto& line : lines) EXPECT_EQ(line.size(), header.size());
    const std::string readable = files.PathOf("we\"ird\\name\x01" "caf\xef\xbf\xbd.scn");
    const std::tuple<size_t, std::string_view, std::string> fields[] = {
        {1, "path", map}, {1, "pathBytes", ""}, {1, "kind", "map"}, {1, "terrainPercentages.Water", "83"},
        {1, "averageProductionEfficiency", "50"}, {1, "specialtyCounts.TR", "1"}, {1, "playerUnits.1.City", ""},
        {2, "kind", "scenario"}, {2, "averageProductionEfficiency", ""}, {2, "playerUnits.1.City", "4"},
        {2, "playerUnits.1.IN", "12"}, {2, "playerUnits.6.AB", "-1"}, {3, "status", "-11"}, {3, "path", readable}, {3, "pathBytes", hex},
        {3, "reason", "No such file or directory"}, {3, "rows", ""},
        {3, "message", "Unable to find file."}};
    for (const auto& [line, name, value] : fields) {
        const size_t column = std::ranges::find(header, name) - header.begin();
        EXPECT_EQ(column < lines[line].size() ? lines[line][column] : "(no such column)", value) << line << " " << name;
    }
}

TEST(ReportTexts, JsonAndHtmlEscapeWhatTheyMustAndReplaceEachByteOfNoUtf8AndCsvQuotesOnlyWhatNeedsIt) {
    const std::pair<std::string_view, std::string_view> json[] = {
        {"maps/world.map", "\"maps/world.map\""}, {"say \"hi\"\\now", "\"say \\\"hi\\\"\\\\now\""},
        {"\n\r\t", "\"\\n\\r\\t\""}, {std::string_view("\x00\x01\x1f\x7f", 4), "\"\\u0000\\u0001\\u001f\\u007f\""},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x97\xba", "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x97\xba\""},  // UTF-8 kept
        // Bytes that are no UTF-8 become U+FFFD one by one: a single-byte text, a sequence cut short by the end
        // or by a byte that does not continue it, overlong, a surrogate, past U+10FFFF, a lone continuation byte.
        {"caf\xe9", "\"caf\xef\xbf\xbd\""}, {"\xc3", "\"\xef\xbf\xbd\""}, {"\xe2\x82x", "\"\xef\xbf\xbd\xef\xbf\xbdx\""},
        {"\xc0\xaf", "\"\xef\xbf\xbd\xef\xbf\xbd\""}, {"\xed\xa0\x80", "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\""},
        {"\xf4\x90\x80\x80", "\"\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\""}, {"\x80", "\"\xef\xbf\xbd\""},
    };
    for (const auto& [text, literal] : json) EXPECT_EQ(JsonString(text), literal);
    EXPECT_EQ(CsvField("plain text"), "plain text");
    for (const std::string text : {"a,b", "lf\n", "cr\r"}) EXPECT_EQ(CsvField(text), "\"" + text + "\"");
    // A carriage return as a reference, which html keeps, where html would read a line feed.
    EXPECT_EQ(HtmlText("<b a='1'>\"&\r\x01\tcaf\xe9"), "&lt;b a=&#39;1&#39;&gt;&quot;&amp;&#13;&#1;\tcaf\xef\xbf\xbd");
}

}  // namespace
