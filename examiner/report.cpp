#include "examiner/report.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "examine/examine_path.h"
#include "examine/kind_texts.h"
#include "examine/results_texts.h"
#include "examiner/html_report.h"

namespace {

bool IsScenario(const Examination& examination) { return examination.kind == FileKind::Scenario; }

// ---- text: the results dialog's labels and texts, laid out for a terminal

std::string LeftAligned(std::string_view text, size_t width) {
    std::string padded(text);
    if (padded.size() < width) padded.append(width - padded.size(), ' ');
    return padded;
}

std::string RightAligned(std::string_view text, size_t width) {
    std::string padded(text.size() < width ? width - text.size() : 0, ' ');
    return padded.append(text);
}

constexpr size_t LabelWidth = 25;
constexpr size_t RowLabelWidth = 10;
constexpr size_t CountWidth = 8;

void WriteTextField(std::ostream& out, std::string_view label, const std::string& value) {
    out << LeftAligned(label, LabelWidth) << value << '\n';
}

// Two columns, as in the dialog: the first half of the rows on the left.
void WriteTextSpecialties(std::ostream& out, const ExamineResults& results) {
    constexpr size_t RowsPerColumn = SpecialtyRows.size() / 2;
    out << SpecialtiesHeading << '\n';
    const auto labelled = [&results](const CountRow& specialty) {
        return LeftAligned(specialty.label, 4) +
               RightAligned(NumberText(results.specialtyCounts[specialty.entry]), 4);
    };
    for (size_t row = 0; row < RowsPerColumn; ++row)
        out << "  " << labelled(SpecialtyRows[row]) << "      "
            << labelled(SpecialtyRows[row + RowsPerColumn]) << '\n';
}

void WriteTextTerrain(std::ostream& out, const ExamineResults& results) {
    out << LeftAligned(TerrainHeading, RowLabelWidth) << RightAligned(TerrainCountHeading, CountWidth)
        << RightAligned(TerrainPercentageHeading, CountWidth + 2) << '\n';
    for (int terrainClass = 0; terrainClass < TerrainClassCount; ++terrainClass)
        out << LeftAligned(TerrainClassNames[terrainClass], RowLabelWidth)
            << RightAligned(NumberText(results.terrainCounts[terrainClass]), CountWidth)
            << RightAligned(TerrainPercentageText(results, terrainClass), CountWidth + 2) << '\n';
}

void WriteTextUnits(std::ostream& out, const ExamineResults& results) {
    out << UnitCountsHeading << '\n' << LeftAligned(PlayerHeading, RowLabelWidth);
    for (std::string_view heading : PlayerHeadings) out << RightAligned(heading, CountWidth);
    out << '\n';
    for (const CountRow& unit : UnitRows) {
        out << LeftAligned(unit.label, RowLabelWidth);
        for (const auto& player : results.playerUnits)
            out << RightAligned(NumberText(player[unit.entry]), CountWidth);
        out << '\n';
    }
}

void WriteTextEntry(std::ostream& out, const Examination& examination) {
    if (examination.status != LoadSucceeded) {
        out << FailureMessage(examination) << '\n';
        if (!examination.reason.empty()) out << "reason: " << examination.reason << '\n';
        if (!examination.hint.empty()) out << "hint: " << examination.hint << '\n';
        return;
    }
    const ExamineResults& results = examination.results;
    out << ResultsTitle(results) << "\n\n";
    WriteTextField(out, ColumnsLabel, NumberText(results.columns));
    WriteTextField(out, RowsLabel, NumberText(results.rows));
    WriteTextField(out, TotalSquaresLabel, NumberText(TotalSquares(results)));
    WriteTextField(out, WrapLabel, WrapText(results));
    WriteTextField(out, AverageProductionEfficiencyLabel, AverageProductionEfficiencyText(results));
    WriteTextField(out, WaterMassesLabel, MassCountText(results.waterMassCount));
    WriteTextField(out, LandMassesLabel, MassCountText(results.landMassCount));
    out << '\n';
    WriteTextSpecialties(out, results);
    out << '\n';
    WriteTextTerrain(out, results);
    if (IsScenario(examination)) {
        out << '\n';
        WriteTextUnits(out, results);
    }
}

// ---- the fields of an entry, which json, csv and the html page share

std::vector<Cell> Number(std::optional<int32_t> value) {
    return value ? std::vector<Cell>{*value} : std::vector<Cell>{};
}

std::vector<Cell> Text(const std::string& text) {
    return text.empty() ? std::vector<Cell>{} : std::vector<Cell>{text};
}

template <typename Counts>
std::vector<Cell> Counted(const Counts& counts) {
    return std::vector<Cell>(counts.begin(), counts.end());
}

// The entries of counts that the rows show, in the rows' order.
template <typename Counts, typename Rows>
std::vector<Cell> Shown(const Counts& counts, const Rows& rows) {
    std::vector<Cell> cells;
    for (const CountRow& row : rows) cells.emplace_back(counts[row.entry]);
    return cells;
}

// The path's bytes as hex, for a path that ReadableText cannot carry intact.
std::string PathBytes(const std::string& path) {
    if (ReadableText(path) == path) return "";
    constexpr std::string_view Hex = "0123456789abcdef";
    std::string hex;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        hex.append(1, Hex[byte >> 4]).append(1, Hex[byte & 0x0F]);
    }
    return hex;
}

std::vector<Cell> TerrainPercentages(const ExamineResults& results) {
    std::vector<Cell> cells(TerrainClassCount);  // null for a map without squares
    for (int terrainClass = 0; terrainClass < TerrainClassCount; ++terrainClass)
        if (const std::optional<int32_t> percentage = TerrainPercentage(results, terrainClass))
            cells[terrainClass] = *percentage;
    return cells;
}

std::vector<Cell> PlayerUnits(const Examination& examination) {
    std::vector<Cell> cells;
    if (IsScenario(examination))
        for (const auto& player : examination.results.playerUnits)
            std::ranges::move(Shown(player, UnitRows), std::back_inserter(cells));
    return cells;
}

// The results dialog's label without its colon, as a heading.
constexpr std::string_view HeadingOf(std::string_view label) {
    return label.substr(0, label.find_last_not_of(" :") + 1);
}

using Entry = const Examination&;
const auto ReportFieldTable = std::to_array<ReportField>({
    {"path", Shape::Single, false, "File", [](Entry e) { return std::vector<Cell>{e.path}; }},
    {"pathBytes", Shape::Single, false, "", [](Entry e) { return Text(PathBytes(e.path)); }},
    {"kind", Shape::Single, false, "Kind",
     [](Entry e) { return Text(e.kind ? std::string(KindName(*e.kind)) : ""); }},
    {"status", Shape::Single, false, "Status", [](Entry e) { return Number(e.status); }},
    {"message", Shape::Single, false, "",
     [](Entry e) { return Text(e.status == LoadSucceeded ? "" : std::string(LoadStatusReason(e.status))); }},
    {"reason", Shape::Single, false, "", [](Entry e) { return Text(e.reason); }},
    {"hint", Shape::Single, false, "", [](Entry e) { return Text(e.hint); }},
    {"rows", Shape::Single, true, HeadingOf(RowsLabel), [](Entry e) { return Number(e.results.rows); }},
    {"columns", Shape::Single, true, HeadingOf(ColumnsLabel), [](Entry e) { return Number(e.results.columns); }},
    {"totalSquares", Shape::Single, true, HeadingOf(TotalSquaresLabel),
     [](Entry e) { return Number(TotalSquares(e.results)); }},
    {"wraps", Shape::Single, true, HeadingOf(WrapLabel),
     [](Entry e) { return std::vector<Cell>{e.results.wraps != 0}; }},
    // The page shows the shares alone, which compare across maps of any size.
    {"terrainCounts", Shape::ByTerrainClass, true, "", [](Entry e) { return Counted(e.results.terrainCounts); }},
    {"terrainPercentages", Shape::ByTerrainClass, true, TerrainPercentageHeading,
     [](Entry e) { return TerrainPercentages(e.results); }},
    {"cityCount", Shape::Single, true, "Cities", [](Entry e) { return Number(e.results.cityCount); }},
    {"productionEfficiencySum", Shape::Single, true, "",
     [](Entry e) { return Number(e.results.productionEfficiencySum); }},
    {"averageProductionEfficiency", Shape::Single, true, HeadingOf(AverageProductionEfficiencyLabel),
     [](Entry e) { return Number(AverageProductionEfficiency(e.results)); }},
    {"specialtyCounts", Shape::BySpecialty, true, SpecialtiesHeading,
     [](Entry e) { return Shown(e.results.specialtyCounts, SpecialtyRows); }},
    {"waterMassCount", Shape::Single, true, HeadingOf(WaterMassesLabel),
     [](Entry e) { return Number(e.results.waterMassCount); }},
    {"landMassCount", Shape::Single, true, HeadingOf(LandMassesLabel),
     [](Entry e) { return Number(e.results.landMassCount); }},
    {"playerUnits", Shape::PerPlayer, true, UnitCountsHeading, PlayerUnits},
});

// The names of the csv columns of a field: its own, or one per member after
// a dot (for PerPlayer, after the player's key and a dot).
std::vector<std::string> ColumnNames(const ReportField& field) {
    if (field.shape == Shape::Single) return {std::string(field.name)};
    std::vector<std::string> prefixes{std::string(field.name) + "."};
    if (field.shape == Shape::PerPlayer) {
        prefixes.clear();
        for (int player = 0; player < PlayerCount; ++player)
            prefixes.push_back(std::string(field.name).append(".").append(PlayerKey(player)).append("."));
    }
    std::vector<std::string> names;
    for (const std::string& prefix : prefixes)
        for (std::string_view key : MemberKeys(field.shape)) names.push_back(prefix + std::string(key));
    return names;
}

std::string JsonCell(const Cell& cell) {
    if (const auto* number = std::get_if<int32_t>(&cell)) return NumberText(*number);
    if (const auto* flag = std::get_if<bool>(&cell)) return *flag ? "true" : "false";
    if (const auto* text = std::get_if<std::string>(&cell)) return JsonString(*text);
    return "null";
}

// A json object of the keys, each with its value.
std::string JsonObject(const std::vector<std::string_view>& keys, const std::vector<std::string>& values) {
    std::string object = "{";
    for (size_t i = 0; i < keys.size(); ++i)
        object.append(i > 0 ? ", " : "").append(JsonString(keys[i])).append(": ").append(values[i]);
    return object + "}";
}

// cells[first, first + count) as json values.
std::vector<std::string> JsonCells(const std::vector<Cell>& cells, size_t first, size_t count) {
    std::vector<std::string> values;
    for (size_t i = first; i < first + count; ++i) values.push_back(JsonCell(cells[i]));
    return values;
}

std::string JsonValue(const ReportField& field, const std::vector<Cell>& cells) {
    if (cells.empty()) return "null";
    if (field.shape == Shape::Single) return JsonCell(cells[0]);
    const std::vector<std::string_view> keys = MemberKeys(field.shape);
    if (field.shape != Shape::PerPlayer) return JsonObject(keys, JsonCells(cells, 0, keys.size()));
    std::vector<std::string_view> playerKeys;
    std::vector<std::string> players;
    for (int player = 0; player < PlayerCount; ++player) {
        playerKeys.push_back(PlayerKey(player));
        players.push_back(JsonObject(keys, JsonCells(cells, player * keys.size(), keys.size())));
    }
    return JsonObject(playerKeys, players);
}

void WriteJsonEntry(std::ostream& out, const Examination& examination) {
    const char* separator = "{";
    for (const ReportField& field : ReportFields)
        out << std::exchange(separator, ", ") << JsonString(field.name) << ": "
            << JsonValue(field, CellsOf(field, examination));
    out << '}';
}

std::string CsvCell(const Cell& cell) {
    if (const auto* text = std::get_if<std::string>(&cell)) return CsvField(ReadableText(*text));
    return std::holds_alternative<std::monostate>(cell) ? "" : JsonCell(cell);
}

void WriteCsvHeader(std::ostream& out) {
    const char* separator = "";
    for (const ReportField& field : ReportFields)
        for (const std::string& name : ColumnNames(field)) out << std::exchange(separator, ",") << name;
    out << '\n';
}

void WriteCsvEntry(std::ostream& out, const Examination& examination) {
    const char* separator = "";
    for (const ReportField& field : ReportFields) {
        std::vector<Cell> cells = CellsOf(field, examination);
        cells.resize(ColumnNames(field).size());  // a null field: empty columns
        for (const Cell& cell : cells) out << std::exchange(separator, ",") << CsvCell(cell);
    }
    out << '\n';
}

// The length of the valid UTF-8 sequence of two to four bytes at the start
// of text, or 0 when there is none (a lone, overlong or surrogate sequence).
size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    size_t length = 0;
    if (byte(0) >= 0xC2 && byte(0) <= 0xDF) length = 2;
    else if (byte(0) >= 0xE0 && byte(0) <= 0xEF) length = 3;
    else if (byte(0) >= 0xF0 && byte(0) <= 0xF4) length = 4;
    if (length == 0 || text.size() < length) return 0;

    char32_t codePoint = byte(0) & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        codePoint = codePoint << 6 | (byte(i) & 0x3F);
    }
    constexpr std::array<char32_t, 5> SmallestOfLength{0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < SmallestOfLength[length] || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

}  // namespace

const std::span<const ReportField> ReportFields = ReportFieldTable;

std::vector<Cell> CellsOf(const ReportField& field, const Examination& examination) {
    if (field.isFigure && examination.status != LoadSucceeded) return {};
    return field.cellsOf(examination);
}

std::vector<std::string_view> MemberKeys(Shape shape) {
    std::vector<std::string_view> keys;
    const auto labels = [&keys](const auto& rows) {
        for (const CountRow& row : rows) keys.push_back(row.label);
    };
    switch (shape) {
        case Shape::Single: break;
        case Shape::ByTerrainClass: keys.assign(TerrainClassNames.begin(), TerrainClassNames.end()); break;
        case Shape::BySpecialty: labels(SpecialtyRows); break;
        case Shape::PerPlayer: labels(UnitRows); break;
    }
    return keys;
}

std::string_view PlayerKey(int player) { return PlayerHeadings[player].substr(1); }

void BeginReport(ReportStream& report) {
    if (report.format == ReportFormat::Json) report.out << '[';
    if (report.format == ReportFormat::Csv) WriteCsvHeader(report.out);
}

void WriteReportEntry(ReportStream& report, const Examination& examination) {
    const bool first = report.entriesWritten == 0;
    switch (report.format) {
        case ReportFormat::Text:
            if (!first) report.out << '\n';
            WriteTextEntry(report.out, examination);
            break;
        case ReportFormat::Json:
            report.out << (first ? "\n  " : ",\n  ");
            WriteJsonEntry(report.out, examination);
            break;
        case ReportFormat::Csv:
            WriteCsvEntry(report.out, examination);
            break;
        case ReportFormat::Html:
            report.picturesMissing += !AppendHtmlRow(report.pageRows, report.entriesWritten + 1, examination);
            break;
    }
    ++report.entriesWritten;
    report.entriesFailed += examination.status != LoadSucceeded;
    report.out.flush();
}

void EndReport(ReportStream& report) {
    if (report.format == ReportFormat::Json) report.out << (report.entriesWritten > 0 ? "\n]\n" : "]\n");
    if (report.format == ReportFormat::Html)
        WriteHtmlPage(report.out, report.pageRows, report.entriesWritten, report.entriesFailed);
    report.out.flush();
}

std::string ReadableText(std::string_view text) {
    std::string readable;
    for (size_t i = 0; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            readable += text[i];
        } else if (const size_t length = Utf8SequenceLength(text.substr(i))) {
            readable.append(text.substr(i, length));
            i += length - 1;
        } else {
            readable.append("\xEF\xBF\xBD");  // U+FFFD REPLACEMENT CHARACTER
        }
    }
    return readable;
}

std::string JsonString(std::string_view text) {
    constexpr std::string_view Hex = "0123456789abcdef";
    std::string literal = "\"";
    for (const char c : ReadableText(text)) {
        const auto byte = static_cast<unsigned char>(c);
        switch (byte) {
            case '"': literal += "\\\""; continue;
            case '\\': literal += "\\\\"; continue;
            case '\n': literal += "\\n"; continue;
            case '\r': literal += "\\r"; continue;
            case '\t': literal += "\\t"; continue;
            default: break;
        }
        if (byte >= 0x20 && byte != 0x7F) literal += c;
        else literal.append("\\u00").append(1, Hex[byte >> 4]).append(1, Hex[byte & 0x0F]);
    }
    return literal + "\"";
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string field = "\"";
    for (char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + "\"";
}
