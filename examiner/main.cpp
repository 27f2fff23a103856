// telvorn-examine: examines Corvanta map and scenario files named on the
// command line and reports their figures as text, json or csv.

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "examiner/command_line.h"
#include "examiner/examination.h"
#include "examiner/picture.h"
#include "examiner/report.h"

namespace {

constexpr int AllExamined = 0;
constexpr int SomeFailed = 1;
constexpr int UsageError = 2;

constexpr std::string_view ProgramName = "telvorn-examine";

int RunExaminer(const std::vector<std::string>& arguments) {
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (commandLine.usageError) {
        std::cerr << ProgramName << ": " << *commandLine.usageError << "\n"
                  << "Try '" << ProgramName << " --help'.\n";
        return UsageError;
    }
    const ExaminerOptions& options = commandLine.options;
    if (options.showHelp) {
        std::cout << UsageText << PictureLegend;
        return AllExamined;
    }
    if (options.showVersion) {
        std::cout << ProgramName << ' ' << TELVORN_VERSION << '\n';
        return AllExamined;
    }

    // Every path is looked at before any file is examined, so that a usage
    // error leaves no half-written report.
    const FileList list = ListFilesToExamine(options.paths, options.kind);
    for (const std::string& error : list.usageErrors) std::cerr << ProgramName << ": " << error << '\n';
    if (!list.usageErrors.empty()) {
        std::cerr << "Try '" << ProgramName << " --help'.\n";
        return UsageError;
    }
    if (options.pictureFolder) {
        if (const std::optional<std::string> error = PreparePictureFolder(*options.pictureFolder, list.files)) {
            std::cerr << ProgramName << ": " << *error << '\n';
            return UsageError;
        }
    }
    for (const std::string& error : list.folderErrors) std::cerr << ProgramName << ": " << error << '\n';

    bool anyFailed = !list.folderErrors.empty();
    ReportStream report{std::cout, options.format};
    BeginReport(report);
    for (const FileToExamine& file : list.files) {
        const Examination examination = Examine(file);
        anyFailed = anyFailed || examination.status != LoadSucceeded;
        WriteReportEntry(report, examination);
        // The picture is drawn from what this examination left behind, before the next one starts.
        if (options.pictureFolder) {
            if (const std::optional<std::string> error = UpdatePicture(*options.pictureFolder, examination)) {
                std::cerr << ProgramName << ": " << *error << '\n';
                anyFailed = true;
            }
        }
    }
    EndReport(report);
    return anyFailed ? SomeFailed : AllExamined;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return RunExaminer(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        // Only a lack of memory outside the core can get here.
        std::cerr << ProgramName << ": " << error.what() << '\n';
        return SomeFailed;
    }
}
