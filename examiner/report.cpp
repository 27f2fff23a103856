#include "examiner/report.h"

#include <array>
#include <optional>
#include <vector>

#include "examine/examine_path.h"
#include "examine/kind_texts.h"
#include "examine/results_texts.h"

namespace {

std::string FailureMessage(const Examination& examination) {
    return LoadStatusMessage(KindTextOf(examination.kind).kindName, examination.path,
                             examination.status);
}

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

// ---- json: one array, an object per file

std::string JsonNumber(std::optional<int32_t> value) { return value ? NumberText(*value) : "null"; }

template <typename Range>
std::string JsonArray(const Range& values) {
    std::string array = "[";
    for (const auto& value : values) array.append(array.size() > 1 ? ", " : "").append(NumberText(value));
    return array + "]";
}

// An object keyed by terrain class name, in class order.
template <typename ValueOfClass>
std::string JsonByTerrainClass(ValueOfClass valueOfClass) {
    std::string object = "{";
    for (int terrainClass = 0; terrainClass < TerrainClassCount; ++terrainClass)
        object.append(terrainClass > 0 ? ", " : "")
            .append(JsonString(TerrainClassNames[terrainClass]))
            .append(": ")
            .append(JsonNumber(valueOfClass(terrainClass)));
    return object + "}";
}

void WriteJsonEntry(std::ostream& out, const Examination& examination) {
    out << "{\"path\": " << JsonString(examination.path)
        << ", \"kind\": " << JsonString(KindName(examination.kind))
        << ", \"status\": " << examination.status;
    if (examination.status != LoadSucceeded) {
        out << ", \"message\": " << JsonString(FailureMessage(examination)) << '}';
        return;
    }
    const ExamineResults& results = examination.results;
    out << ", \"rows\": " << results.rows << ", \"columns\": " << results.columns
        << ", \"totalSquares\": " << TotalSquares(results)
        << ", \"wraps\": " << (results.wraps != 0 ? "true" : "false")
        << ", \"terrainCounts\": "
        << JsonByTerrainClass([&](int terrainClass) { return results.terrainCounts[terrainClass]; })
        << ", \"terrainPercentages\": "
        << JsonByTerrainClass([&](int terrainClass) { return TerrainPercentage(results, terrainClass); })
        << ", \"cityCount\": " << results.cityCount
        << ", \"productionEfficiencySum\": " << results.productionEfficiencySum
        << ", \"averageProductionEfficiency\": " << JsonNumber(AverageProductionEfficiency(results))
        << ", \"specialtyCounts\": " << JsonArray(results.specialtyCounts)
        << ", \"waterMassCount\": " << results.waterMassCount
        << ", \"landMassCount\": " << results.landMassCount;
    if (IsScenario(examination)) {
        out << ", \"playerUnits\": [";
        for (size_t player = 0; player < results.playerUnits.size(); ++player)
            out << (player > 0 ? ", " : "") << JsonArray(results.playerUnits[player]);
        out << ']';
    }
    out << '}';
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

// ---- csv: a header line and one line per file

const std::vector<std::string>& CsvHeader() {
    static const std::vector<std::string> header = [] {
        std::vector<std::string> names{"path", "kind", "status", "message", "rows", "columns",
                                       "totalSquares", "wraps"};
        for (std::string_view name : TerrainClassNames) names.push_back("terrainCounts." + std::string(name));
        for (std::string_view name : TerrainClassNames) names.push_back("terrainPercentages." + std::string(name));
        names.insert(names.end(), {"cityCount", "productionEfficiencySum", "averageProductionEfficiency"});
        for (int code = 0; code < SpecialtyCount; ++code) names.push_back("specialtyCounts." + NumberText(code));
        names.insert(names.end(), {"waterMassCount", "landMassCount"});
        for (int player = 0; player < PlayerCount; ++player)
            for (int entry = 0; entry < UnitCountsPerPlayer; ++entry)
                names.push_back("playerUnits." + NumberText(player) + "." + NumberText(entry));
        return names;
    }();
    return header;
}

// The values in the header's order; a figure that the file has not (all of
// them after a failure, the unit table of a map, a missing average or
// percentage) is an empty field.
std::vector<std::string> CsvValues(const Examination& examination) {
    const bool succeeded = examination.status == LoadSucceeded;
    std::vector<std::string> values{examination.path, std::string(KindName(examination.kind)),
                                    NumberText(examination.status),
                                    succeeded ? "" : FailureMessage(examination)};
    if (succeeded) {
        const ExamineResults& results = examination.results;
        const auto text = [](std::optional<int32_t> value) { return value ? NumberText(*value) : ""; };
        values.insert(values.end(), {NumberText(results.rows), NumberText(results.columns),
                                     NumberText(TotalSquares(results)), results.wraps != 0 ? "true" : "false"});
        for (int32_t count : results.terrainCounts) values.push_back(NumberText(count));
        for (int terrainClass = 0; terrainClass < TerrainClassCount; ++terrainClass)
            values.push_back(text(TerrainPercentage(results, terrainClass)));
        values.insert(values.end(), {NumberText(results.cityCount), NumberText(results.productionEfficiencySum),
                                     text(AverageProductionEfficiency(results))});
        for (int32_t count : results.specialtyCounts) values.push_back(NumberText(count));
        values.insert(values.end(), {NumberText(results.waterMassCount), NumberText(results.landMassCount)});
        if (IsScenario(examination))
            for (const auto& player : results.playerUnits)
                for (int32_t count : player) values.push_back(NumberText(count));
    }
    values.resize(CsvHeader().size());
    return values;
}

void WriteCsvLine(std::ostream& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) out << (i > 0 ? "," : "") << CsvField(fields[i]);
    out << '\n';
}

}  // namespace

void BeginReport(ReportStream& report) {
    if (report.format == ReportFormat::Json) report.out << '[';
    if (report.format == ReportFormat::Csv) WriteCsvLine(report.out, CsvHeader());
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
            WriteCsvLine(report.out, CsvValues(examination));
            break;
    }
    ++report.entriesWritten;
    report.out.flush();
}

void EndReport(ReportStream& report) {
    if (report.format == ReportFormat::Json) report.out << (report.entriesWritten > 0 ? "\n]\n" : "]\n");
    report.out.flush();
}

std::string JsonString(std::string_view text) {
    constexpr std::string_view Hex = "0123456789abcdef";
    std::string literal = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        switch (byte) {
            case '"': literal += "\\\""; continue;
            case '\\': literal += "\\\\"; continue;
            case '\n': literal += "\\n"; continue;
            case '\r': literal += "\\r"; continue;
            case '\t': literal += "\\t"; continue;
            default: break;
        }
        if (byte >= 0x20 && byte < 0x7F) {
            literal += static_cast<char>(byte);
        } else if (const size_t length = byte >= 0x80 ? Utf8SequenceLength(text.substr(i)) : 0) {
            literal.append(text.substr(i, length));
            i += length - 1;
        } else {
            literal.append("\\u00").append(1, Hex[byte >> 4]).append(1, Hex[byte & 0x0F]);
        }
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
