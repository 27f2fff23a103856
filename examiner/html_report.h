#pragma once

// The report as one html page that holds all it shows: a table of the
// entries in the report's order, each with the picture that --picture draws,
// embedded, and the json report's figures under the results dialog's names;
// its style and little script inline, so that it opens offline and reads
// without script too.

#include <ostream>
#include <string>
#include <string_view>

#include "examiner/examination.h"

// Appends to rows the table row of the entry numbered number: its path beside
// its picture (drawn from examination.map) and its figures, or its failure's
// message, reason and hint in their place. Returns false when the picture
// could not be drawn, and the row says why in its place.
bool AppendHtmlRow(std::string& rows, int number, const Examination& examination);

// Writes the page around rows: a heading that counts the entries and the
// failed ones and names Telvorn's version, the table's headings, the notes,
// the style and the script.
void WriteHtmlPage(std::ostream& out, std::string_view rows, int entries, int failed);

// ReadableText(text) for html: '&', '<', '>', quotes and control characters
// as character references, so that a path shows as json gives it.
std::string HtmlText(std::string_view text);
