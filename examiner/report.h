#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "examiner/examination.h"

enum class ReportFormat { Text, Json, Csv };

// A report being written, one examination after the other, so that each
// file's figures show as soon as it has been examined.
struct ReportStream {
    std::ostream& out;
    ReportFormat format;
    int entriesWritten = 0;
    int entriesFailed = 0;
};

// The report's opening (the csv header line, the json array's bracket).
void BeginReport(ReportStream& report);

// One entry's figures, or its error message, reason and hint when it failed.
void WriteReportEntry(ReportStream& report, const Examination& examination);

// The report's close (the json array's bracket).
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
