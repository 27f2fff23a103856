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
};

// The report's opening (the csv header line, the json array's bracket).
void BeginReport(ReportStream& report);

// One file's figures, or its error message when the examination failed.
void WriteReportEntry(ReportStream& report, const Examination& examination);

// The report's close (the json array's bracket).
void EndReport(ReportStream& report);

// A JSON string literal for text of any bytes: quotes, backslashes and
// control bytes escaped; valid UTF-8 kept as it is; every other byte taken as
// the character of that number (Latin-1), so that the output is always JSON.
std::string JsonString(std::string_view text);

// A csv field: quoted, with doubled quotes, when it holds a comma, a quote or
// a line break; otherwise the text itself.
std::string CsvField(std::string_view text);
