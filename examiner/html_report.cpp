#include "examiner/html_report.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "examine/examine_path.h"
#include "examine/results_texts.h"
#include "examiner/picture.h"
#include "examiner/report.h"
#include "gamefile/utf8_path.h"

namespace {

// The page's look: a table that scrolls sideways at any zoom, its path column
// held in view; pictures as thumbnails that open whole over the page.
constexpr std::string_view Style = R"(
:root { font-family: system-ui, sans-serif; line-height: 1.4; color: #1a1a1a; background: #fff; }
body { margin: 1rem; }
h1 { font-size: 1.5rem; margin: 0; }
.scroll { overflow-x: auto; }
.scroll:focus-visible, summary:focus-visible, button:focus-visible { outline: 0.15rem solid #1a5fb4; }
table { border-collapse: collapse; font-size: 0.875rem; }
caption { text-align: left; padding: 0.5rem 0; }
th, td { border: 1px solid #b8b8b8; padding: 0.2rem 0.4rem; }
thead th { background: #e8edf3; vertical-align: bottom; }
colgroup { border-left: 2px solid #707070; }
td { text-align: right; font-variant-numeric: tabular-nums; }
td.text { text-align: left; }
tbody th { text-align: left; font-weight: normal; position: sticky; left: 0; background: #fff;
           min-width: 14rem; overflow-wrap: anywhere; }
tbody th:has(details[open]) { z-index: 2; }
tr.failed th, tr.failed td { background: #fdecea; }
tr.failed th { border-left: 0.4rem solid #b3261e; }
td.failure { text-align: left; color: #8c1d18; }
summary { list-style: none; cursor: zoom-in; width: max-content; }
summary::-webkit-details-marker { display: none; }
summary img { display: block; width: 11rem; height: auto; }
details[open] img { position: fixed; inset: 0; margin: auto; width: auto; max-width: 100vw; max-height: 100vh;
                    cursor: zoom-out; box-shadow: 0 0 0 100vmax rgb(0 0 0 / 60%); }
thead button { all: unset; cursor: pointer; }
th[aria-sort=ascending] button::after { content: " \25B2"; }
th[aria-sort=descending] button::after { content: " \25BC"; }
@media print {
  @page { size: landscape; margin: 1cm; }
  body { margin: 0; }
  #tools { display: none; }
  .scroll { overflow: visible; }
  table { font-size: 6.5pt; }
  th, td { padding: 0.1rem 0.15rem; }
  tr { break-inside: avoid; }
  tr.failed { print-color-adjust: exact; -webkit-print-color-adjust: exact; }
  tbody th { position: static; min-width: 0; }
  summary img { width: 4.5rem; }
}
)";

// Sorting by any column (numbers as numbers, cells without a figure last) and
// the path filter: what the page does with script, on top of what it shows.
constexpr std::string_view Script = R"(
"use strict";
(() => {
  const body = document.querySelector("tbody");
  // A row's cell under a column; none under a failure, whose message spans the figures.
  const cellAt = (row, column) => {
    for (const cell of row.cells) {
      if (column < cell.colSpan) return cell.colSpan > 1 ? null : cell;
      column -= cell.colSpan;
    }
    return null;
  };
  const keyOf = (cell) => {
    if (!cell || cell.classList.contains("none")) return null;
    const text = cell.textContent;
    return /^-?\d+$/.test(text) ? Number(text) : text;
  };
  const compare = (a, b) => typeof a === "number" && typeof b === "number" ? a - b
    : String(a).localeCompare(String(b), undefined, {numeric: true});
  let sortedBy = null;
  for (const heading of document.querySelectorAll("th[data-column]")) {
    const button = document.createElement("button");
    button.type = "button";
    button.append(...heading.childNodes);
    heading.append(button);
    button.addEventListener("click", () => {
      const ascending = heading !== sortedBy || heading.getAttribute("aria-sort") === "descending";
      sortedBy?.removeAttribute("aria-sort");
      sortedBy = heading;
      heading.setAttribute("aria-sort", ascending ? "ascending" : "descending");
      const column = Number(heading.dataset.column);
      const keyed = Array.from(body.rows, (row) => [keyOf(cellAt(row, column)), row]);
      keyed.sort(([a], [b]) => (a === null) - (b === null) || (a === null ? 0 : (ascending ? 1 : -1) * compare(a, b)));
      body.append(...keyed.map(([, row]) => row));
    });
  }
  const filter = document.getElementById("filter");
  const show = () => {
    const wanted = filter.value.toLocaleLowerCase();
    let count = 0;
    for (const row of body.rows) {
      row.hidden = !row.querySelector("th").textContent.toLocaleLowerCase().includes(wanted);
      count += !row.hidden;
    }
    document.getElementById("shown").textContent = `${count} of ${body.rows.length} shown`;
  };
  filter.addEventListener("input", show);
  show();
  document.getElementById("tools").hidden = false;
})();
)";

std::string Base64(const std::vector<uint8_t>& bytes) {
    constexpr std::string_view Digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t count = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (size_t j = 0; j < 3; ++j) group = group << 8 | (j < count ? bytes[i + j] : 0u);
        for (size_t j = 0; j < 4; ++j) text += j <= count ? Digits[group >> (18 - 6 * j) & 0x3F] : '=';
    }
    return text;
}

// The headings of a field's columns on the page: its own for a single value,
// otherwise those of its members (for the players' units, the players').
std::vector<std::string_view> ColumnHeadings(const ReportField& field) {
    if (field.shape == Shape::Single) return {field.heading};
    if (field.shape == Shape::PerPlayer) return {PlayerHeadings.begin(), PlayerHeadings.end()};
    return MemberKeys(field.shape);
}

// The fields that the page shows, in the order a map maker reads a collection
// by: what each file is, its size and wrap, its masses, its terrain, its
// cities and a scenario's units.
const std::vector<const ReportField*>& PageFields() {
    static const std::vector<const ReportField*> fields = [] {
        std::vector<const ReportField*> found;
        for (const std::string_view name :
             {"path", "kind", "status", "rows", "columns", "totalSquares", "wraps", "waterMassCount", "landMassCount",
              "terrainPercentages", "cityCount", "averageProductionEfficiency", "specialtyCounts", "playerUnits"})
            found.push_back(&*std::ranges::find(ReportFields, name, &ReportField::name));
        return found;
    }();
    return fields;
}

// A cell as the results dialog shows its value: the wrap as YES or NO, no figure as a dash.
std::string CellHtml(const Cell& cell) {
    if (const auto* number = std::get_if<int32_t>(&cell)) return "<td>" + NumberText(*number) + "</td>";
    if (const auto* flag = std::get_if<bool>(&cell)) return *flag ? "<td>YES</td>" : "<td>NO</td>";
    if (const auto* text = std::get_if<std::string>(&cell)) return "<td class=\"text\">" + HtmlText(*text) + "</td>";
    return "<td class=\"none\">-</td>";
}

// The cells of a field on the page: one per heading, each player's the sum of
// the unit table's rows of that player but the first, which counts cities.
std::string FieldCells(const ReportField& field, std::vector<Cell> cells) {
    const size_t columns = ColumnHeadings(field).size();
    if (field.shape == Shape::PerPlayer && !cells.empty()) {
        const size_t rows = UnitRows.size();
        std::vector<Cell> totals;
        for (size_t player = 0; player < columns; ++player)
            totals.emplace_back(std::accumulate(cells.begin() + player * rows + 1, cells.begin() + (player + 1) * rows,
                                                int32_t{0}, [](int32_t sum, const Cell& unit) {
                                                    return sum + std::get<int32_t>(unit);
                                                }));
        cells = std::move(totals);
    }
    cells.resize(columns);
    std::string html;
    for (const Cell& cell : cells) html += CellHtml(cell);
    return html;
}

// The path's cell, the row's heading: the picture, which opens whole, beside the path.
std::string PathCell(const Examination& examination, bool& pictured) {
    std::string cell = "<th scope=\"row\">";
    pictured = true;
    if (examination.status == LoadSucceeded) {
        const MapHeader& header = examination.map.header;
        std::vector<uint8_t> png;
        const std::optional<std::string> failure =
            EncodeMapPicture(header, examination.map.squares, examination.map.labels, png);
        const PictureLayout layout = PictureLayoutOf(header.rows, header.columns);
        const std::string alt = "The terrain (left) and the " + MassCountText(examination.results.waterMassCount) +
                                " water and " + MassCountText(examination.results.landMassCount) +
                                " land masses (right) of " +
                                Utf8Text(Utf8Path(examination.path).filename());
        if (failure) {
            pictured = false;
            cell += "<p>No picture: " + HtmlText(*failure) + "</p>";
        } else {
            cell += "<details><summary><img src=\"data:image/png;base64," + Base64(png) + "\" alt=\"" +
                    HtmlText(alt) + "\" width=\"" + std::to_string(layout.width) + "\" height=\"" +
                    std::to_string(layout.height) + "\" decoding=\"async\"></summary></details>";
        }
    }
    return cell + HtmlText(examination.path) + "</th>";
}

std::string FailureCell(const Examination& examination, size_t columns) {
    std::string cell = "<td class=\"failure\" colspan=\"" + std::to_string(columns) + "\"><strong>" +
                       HtmlText(LoadStatusReason(examination.status)) + "</strong>";
    if (!examination.reason.empty()) cell += "<br>reason: " + HtmlText(examination.reason);
    if (!examination.hint.empty()) cell += "<br>hint: " + HtmlText(examination.hint);
    return cell + "</td>";
}

// The table's head: a column for the entry's number, then those of the
// fields that the page shows, each member of an object under the
// object's heading. Each column's own heading carries its place and the csv
// column that it shows.
std::string TableHead() {
    std::string groups = "<colgroup></colgroup>";
    std::string top = R"(<tr><th scope="col" rowspan="2" data-column="0">#</th>)";
    std::string members = "<tr>";
    int column = 1;
    const auto heading = [&column](std::string_view key, std::string_view text, std::string_view span) {
        return "<th scope=\"col\"" + std::string(span) + " data-column=\"" + std::to_string(column++) +
               "\" data-key=\"" + std::string(key) + "\">" + HtmlText(text) + "</th>";
    };
    for (const ReportField* pageField : PageFields()) {
        const ReportField& field = *pageField;
        const std::vector<std::string_view> headings = ColumnHeadings(field);
        groups += "<colgroup span=\"" + std::to_string(headings.size()) + "\"></colgroup>";
        if (field.shape == Shape::Single) {
            top += heading(field.name, field.heading, " rowspan=\"2\"");
            continue;
        }
        top += "<th scope=\"colgroup\" colspan=\"" + std::to_string(headings.size()) + "\">" +
               HtmlText(field.heading) + "</th>";
        for (size_t i = 0; i < headings.size(); ++i) {
            const std::string_view member = field.shape == Shape::PerPlayer ? PlayerKey(static_cast<int>(i))
                                                                            : headings[i];
            members += heading(std::string(field.name) + "." + std::string(member), headings[i], "");
        }
    }
    return groups + "<thead>" + top + "</tr>" + members + "</tr></thead>";
}

std::string Counted(int count, std::string_view thing) {
    return std::to_string(count) + " " + std::string(thing) + (count == 1 ? "" : "s");
}

}  // namespace

bool AppendHtmlRow(std::string& rows, int number, const Examination& examination) {
    const bool failed = examination.status != LoadSucceeded;
    bool pictured = true;
    rows += failed ? "<tr class=\"failed\">" : "<tr>";
    rows += "<td>" + std::to_string(number) + "</td>";
    size_t figureColumns = 0;
    for (const ReportField* field : PageFields()) {
        if (field->name == "path") rows += PathCell(examination, pictured);
        else if (failed && field->isFigure) figureColumns += ColumnHeadings(*field).size();
        else rows += FieldCells(*field, CellsOf(*field, examination));
    }
    if (failed) rows += FailureCell(examination, figureColumns);
    rows += "</tr>\n";
    return pictured;
}

void WriteHtmlPage(std::ostream& out, std::string_view rows, int entries, int failed) {
    const std::string summary = "Telvorn " TELVORN_VERSION ": " + Counted(entries, "file") + ", " +
                                std::to_string(failed) + " failed";
    std::string_view legend = PictureLegend;
    legend.remove_prefix(std::min(legend.find_first_not_of('\n'), legend.size()));
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        << "<meta name=\"generator\" content=\"telvorn-examine " TELVORN_VERSION "\">\n"
        << "<title>" << summary << "</title>\n<style>" << Style << "</style>\n</head>\n<body>\n"
        << "<h1 id=\"summary\">" << summary << "</h1>\n"
        << "<p id=\"tools\" hidden><label for=\"filter\">Show the paths that hold</label> "
        << "<input type=\"search\" id=\"filter\" autocomplete=\"off\"> <output id=\"shown\" for=\"filter\" "
        << "aria-live=\"polite\"></output><br>A column's heading sorts the rows by it.</p>\n"
        << "<div class=\"scroll\" role=\"region\" aria-labelledby=\"summary\" tabindex=\"0\">\n"
        << "<table>\n<caption>Each file's picture and figures in the report's order; a picture opens whole."
        << "</caption>\n"
        << TableHead() << "\n<tbody>\n" << rows << "</tbody>\n</table>\n</div>\n"
        << "<p>" << UnitCountsHeading << ": each player's units of every kind but City. A dash: no figure "
        << "(a map's players, the shares of a map without squares, the efficiency without cities).</p>\n"
        << "<details><summary>What the pictures show</summary><pre>" << HtmlText(legend) << "</pre></details>\n"
        << "<script>" << Script << "</script>\n</body>\n</html>\n";
}

std::string HtmlText(std::string_view text) {
    std::string html;
    for (const char c : ReadableText(text)) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '&': html += "&amp;"; continue;
            case '<': html += "&lt;"; continue;
            case '>': html += "&gt;"; continue;
            case '"': html += "&quot;"; continue;
            case '\'': html += "&#39;"; continue;
            default: break;
        }
        // A control character as a reference, which html keeps as it is (a carriage return among them).
        if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F) html += "&#" + std::to_string(byte) + ";";
        else html += c;
    }
    return html;
}
