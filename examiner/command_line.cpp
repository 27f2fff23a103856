#include "examiner/command_line.h"

#include "examiner/examination.h"

const std::string_view UsageText =
    R"(Usage: telvorn-examine [OPTION]... PATH...

Examines Corvanta map files (*.map) and scenario files (*.scn) and shows their
figures: map size and wrap, terrain counts and shares, water and land masses,
city figures and, for a scenario, the six players' unit counts.

A PATH may be a file or a folder. A folder stands for its *.map and *.scn
files (any letter case) in name order; its subfolders are not searched. A
folder without such files counts as a file that could not be examined.

Options:
  --kind map|scenario     examine every file as this kind; without it the kind
                          comes from the extension, .map or .scn in any case
  --format text|json|csv  text (the default): the figures as the results
                          dialog shows them; json: one array with an object
                          per file; csv: a header line and one line per file
  --picture DIR           also draw each examined file's map into DIR (made
                          when missing) as a PNG file named after the file:
                          world.map gives world.map.png; a file that cannot
                          be examined gets none, and an older picture of its
                          name is removed
  --help                  show this text
  --version               show the version

A file that cannot be examined gets its error message in the output, and the
other files are examined all the same.

Exit status: 0 when every file was examined (and pictured), 1 when any could
not be, 2 for a usage error or a picture folder that cannot be made.
)";

namespace {

std::optional<ReportFormat> FormatFromName(std::string_view name) {
    if (name == "text") return ReportFormat::Text;
    if (name == "json") return ReportFormat::Json;
    if (name == "csv") return ReportFormat::Csv;
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
    if (option == "--format") return "text, json or csv";
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

        // "--kind map" or "--kind=map", and the same for --format and --picture.
        const size_t equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        if (option != "--kind" && option != "--format" && option != "--picture") {
            commandLine.usageError = "unknown option '" + argument + "'";
            return commandLine;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            commandLine.usageError = "option '" + option + "' needs a value";
            return commandLine;
        }
        if (!SetOption(option, value, options)) {
            commandLine.usageError = "'" + value + "' is not a value of '" + option + "' (" + ValuesOf(option) + ")";
            return commandLine;
        }
    }
    if (!options.showHelp && !options.showVersion && options.paths.empty()) commandLine.usageError = "no PATH to examine";
    return commandLine;
}
