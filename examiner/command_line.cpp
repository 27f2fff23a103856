#include "examiner/command_line.h"

#include <utility>

#include "examine/ascii_text.h"
#include "examiner/examination.h"

// What the help says on one system only: how else it is asked for, where the
// report's schema lies, and what only Linux has (paths that are no UTF-8,
// FIFOs, a broken pipe's signal).
#ifdef _WIN32
#define TELVORN_HELP_OPTIONS "-h, --help, /?    "
#define TELVORN_NOT_A_FOLDER "a dangling link),\nand"
#define TELVORN_NOT_UTF8 ""
#define TELVORN_SCHEMA_PLACE "report.schema.json beside telvorn-examine.exe."
#define TELVORN_BROKEN_PIPE ""
#else
#define TELVORN_HELP_OPTIONS "-h, --help        "
#define TELVORN_NOT_A_FOLDER "a dangling link, a\nFIFO), and"
#define TELVORN_NOT_UTF8 " A path that is not UTF-8 shows each stray byte as U+FFFD in\njson, csv and html, and its bytes as hex in pathBytes."
#define TELVORN_SCHEMA_PLACE TELVORN_INSTALLED_SCHEMA " from the Debian\npackage."
#define TELVORN_BROKEN_PIPE "; a\n     broken pipe ends the program by its signal (status 141 in a shell)"
#endif

const std::string_view UsageText =
    R"(Usage: telvorn-examine [OPTION]... PATH...

Examines Corvanta map files (*.map) and scenario files (*.scn) and shows their
figures: map size and wrap, terrain counts and shares, water and land masses,
city figures and, for a scenario, the six players' unit counts.

A PATH may be a file or a folder. A folder stands for its *.map and *.scn
files (any letter case) in name order; with --recursive, for those of its
subfolders too, each at its place in that order.

Options:
  --kind map|scenario     examine every file as this kind; without it the kind
                          comes from the extension, .map or .scn in any case
  --format text|json|csv|html
                          text (the default): the figures as the results
                          dialog shows them; json: one array with an object
                          per file; csv: a header line and one line per file;
                          the report's schema (below) names each key and
                          column; html: one page that holds every file's
                          picture (as --picture draws it) and figures, a row
                          each, sortable by any column
  -r, --recursive         take folders' subfolders too (links to folders are
                          not followed)
  --picture DIR           also draw each examined file's map into DIR (made
                          when missing) as a PNG file named after the file:
                          world.map gives DIR/world.map.png; a file found in
                          a folder given is pictured at its place below it,
                          maps/one/world.map in maps as DIR/one/world.map.png;
                          a file that cannot be examined gets none, and an
                          older picture of its name is removed
  )" TELVORN_HELP_OPTIONS R"(      show this text
  --version               show the version
  --                      end the options: every later argument is a PATH,
                          even one that starts with '-'

A PATH that cannot be examined costs only itself: it becomes a failed entry
of the report, in every format, and the other paths are examined all the
same. Its status is the Windows program's: the file data's (-2 to -15) with
the program's own message, or -11 "Unable to find file." for any path at
which no game file can be opened: one that does not exist or cannot be read,
a file whose kind cannot be told, one that is neither a regular file nor a
folder, a folder that cannot be read or holds no game files, a *.map or *.scn
entry of a folder that is no regular file (a folder, )" TELVORN_NOT_A_FOLDER R"( two different files that --picture would picture at one place.
Its reason says which, in the system's words where it has them ("Permission
denied"); its hint what to do, where the examiner can tell (for a file of
the other kind, the right --kind). A last line on stderr counts the failures,
in every format.)" TELVORN_NOT_UTF8 R"(

The report's JSON Schema gives every key and column of json and csv, its type
and meaning: )" TELVORN_SCHEMA_PLACE R"(

Exit status:
  0  every file was examined (and pictured)
  1  some entry failed, or a picture could not be written
  2  a usage error (nothing examined) or a picture folder that cannot be made
  3  the report could not be written (a full disk, a closed output))" TELVORN_BROKEN_PIPE R"(
)";

const std::string_view VersionText = "telvorn-examine " TELVORN_VERSION "\n";

namespace {

// The format a word of --format names, in any letter case as the kinds' words.
std::optional<ReportFormat> FormatFromName(std::string_view name) {
    constexpr std::pair<std::string_view, ReportFormat> Formats[] = {
        {"text", ReportFormat::Text}, {"json", ReportFormat::Json}, {"csv", ReportFormat::Csv},
        {"html", ReportFormat::Html}};
    for (const auto& [word, format] : Formats)
        if (EqualIgnoringAsciiCase(word, name)) return format;
    return std::nullopt;
}

// Sets the option's value; false when the value is none of its words.
bool SetOption(std::string_view option, std::string_view value, ExaminerOptions& options) {
    if (option == "--kind") {
        options.kind = KindFromName(value);
        return options.kind.has_value();
    }
    if (option == "--picture") {
        if (!value.empty()) options.pictureFolder = std::string(value);
        return !value.empty();
    }
    const std::optional<ReportFormat> format = FormatFromName(value);
    if (format) options.format = *format;
    return format.has_value();
}

const char* ValuesOf(std::string_view option) {
    if (option == "--kind") return "map or scenario";
    if (option == "--format") return "text, json, csv or html";
    return "a folder";
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine commandLine;
    ExaminerOptions& options = commandLine.options;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            options.paths.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
            continue;
        }
        if (argument == "--version") {
            options.showVersion = true;
            continue;
        }
        if (argument == "--recursive" || argument == "-r") {
            options.recursive = true;
            continue;
        }

        // "--kind map" or "--kind=map", and the same for --format and --picture.
        const size_t equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        if (option != "--kind" && option != "--format" && option != "--picture") {
            commandLine.usageError = "unknown option " + Quoted(argument);
            return commandLine;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            commandLine.usageError = "option " + Quoted(option) + " needs a value";
            return commandLine;
        }
        if (!SetOption(option, value, options)) {
            commandLine.usageError =
                Quoted(value) + " is not a value of " + Quoted(option) + " (" + ValuesOf(option) + ")";
            return commandLine;
        }
    }
    if (!options.showHelp && !options.showVersion && options.paths.empty())
        commandLine.usageError = "no PATH to examine";
    return commandLine;
}
