#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "examiner/examination.h"

enum class ReportFormat { Text, Json, Csv, Html };

// A report being written, one examination after the other, so that each
// file's figures show as soon as it has been examined.
struct ReportStream {
    std::ostream& out;
    ReportFormat format;
    int entriesWritten = 0;
    int entriesFailed = 0;
    int picturesMissing = 0;  // html: pictures that could not be drawn into the page
    std::string pageRows{};   // html: the table's rows, kept until the heading above them can count the failures
};

// The report's opening (the csv header line, the json array's bracket).
void BeginReport(ReportStream& report);

// One entry's figures, or its error message, reason and hint when it failed.
void WriteReportEntry(ReportStream& report, const Examination& examination);

// The report's close (the json array's bracket, the html page, all of it).
void EndReport(ReportStream& report);

// Text in which every byte sequence that is no valid UTF-8 (a lone, cut
// short, overlong or surrogate sequence, or one past U+10FFFF) is replaced by
// U+FFFD, one for each byte; valid UTF-8 is kept as it is.
std::string ReadableText(std::string_view text);

// A JSON string literal of ReadableText(text), with quotes, backslashes and
// control bytes escaped.
std::string JsonString(std::string_view text);

// A csv field: quoted, with doubled quotes, when it holds a comma, a quote or
// a line break; otherwise the text itself.
std::string CsvField(std::string_view text);

// ---- The fields of an entry, listed once for every format

// One value of the report: nothing (json null, an empty csv field), a whole
// number, a flag or a text.
using Cell = std::variant<std::monostate, int32_t, bool, std::string>;

// How a field's cells are laid out: one value; an object of one member for
// each terrain class or for each specialty that the results dialog shows; or
// an object of one such object for each player, of the unit table's rows.
enum class Shape { Single, ByTerrainClass, BySpecialty, PerPlayer };

struct ReportField {
    std::string_view name;
    Shape shape;
    bool isFigure;  // null, all of it, when the examination failed
    // The results dialog's name of the field, which heads its column on the
    // html page; empty for a field that the page gives no column of its own.
    std::string_view heading;
    // The field's cells in column order; none when the whole field is null.
    std::vector<Cell> (*cellsOf)(const Examination&);
};

// The fields in the order of the json keys and the csv columns, which
// docs/report.schema.json describes.
extern const std::span<const ReportField> ReportFields;

// The field's cells for this entry; none when it is null.
std::vector<Cell> CellsOf(const ReportField& field, const Examination& examination);

// The keys of the members of an object of the shape, in order: the results
// dialog's labels (of each player's object, for PerPlayer).
std::vector<std::string_view> MemberKeys(Shape shape);

// A player's key, the results dialog's heading without its '#': "1" to "6".
std::string_view PlayerKey(int player);
