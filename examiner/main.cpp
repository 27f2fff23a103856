// telvorn-examine: examines Corvanta map and scenario files named on the
// command line and reports their figures as text, json, csv or an html page.

#include <cerrno>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "examiner/command_line.h"
#include "examiner/examination.h"
#include "examiner/main.h"
#include "examiner/picture.h"
#include "examiner/report.h"

namespace {

constexpr int AllExamined = 0;
constexpr int SomeFailed = 1;
constexpr int UsageError = 2;
constexpr int ReportNotWritten = 3;

constexpr std::string_view ProgramName = "telvorn-examine";

void Complain(std::string_view complaint) { std::cerr << ProgramName << ": " << complaint << '\n'; }

// Flushes what was written to std::cout since errno was last cleared. Returns
// true when it arrived; otherwise says why on stderr.
bool Delivered() {
    std::cout.flush();
    if (std::cout) return true;
    const int error = errno;
    Complain("cannot write the report" + (error != 0 ? " (" + std::generic_category().message(error) + ")" : ""));
    return false;
}

int RunExaminer(const std::vector<std::string>& arguments) {
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (commandLine.usageError) {
        Complain(*commandLine.usageError);
        std::cerr << "Try " << Quoted(std::string(ProgramName) + " --help") << ".\n";
        return UsageError;
    }
    const ExaminerOptions& options = commandLine.options;
    errno = 0;
    if (options.showHelp || options.showVersion) {
        if (options.showHelp) std::cout << UsageText << PictureLegend;
        else std::cout << VersionText;
        return Delivered() ? AllExamined : ReportNotWritten;
    }

    // Every path is looked at before any file is examined, so that each of
    // two files that would share a picture fails, the first as the second.
    std::vector<FileToExamine> files = ListFilesToExamine(options.paths, options.kind, options.recursive);
    if (options.pictureFolder) {
        if (const std::optional<std::string> error = MakePictureFolder(*options.pictureFolder)) {
            Complain(*error);
            return UsageError;
        }
        FailSharedPictures(*options.pictureFolder, files);
    }

    bool pictureFailed = false;
    ReportStream report{std::cout, options.format};
    BeginReport(report);
    if (!Delivered()) return ReportNotWritten;
    for (const FileToExamine& file : files) {
        // The page embeds each file's picture, which its map draws.
        const bool withMap = options.pictureFolder.has_value() || options.format == ReportFormat::Html;
        const Examination examination = Examine(file, withMap);
        errno = 0;
        WriteReportEntry(report, examination);
        if (!Delivered()) return ReportNotWritten;
        if (options.pictureFolder) {
            if (const std::optional<std::string> error = UpdatePicture(*options.pictureFolder, examination)) {
                Complain(*error);
                pictureFailed = true;
            }
        }
    }
    errno = 0;
    EndReport(report);
    if (!Delivered()) return ReportNotWritten;
    // A report redirected to a file must not hide its failures from the one who runs it.
    if (report.entriesFailed > 0)
        Complain(std::to_string(report.entriesFailed) + " of " + std::to_string(report.entriesWritten) +
                 (report.entriesWritten == 1 ? " file" : " files") + " could not be examined");
    return report.entriesFailed > 0 || pictureFailed || report.picturesMissing > 0 ? SomeFailed : AllExamined;
}

}  // namespace

int ExamineCommandLine(const std::vector<std::string>& arguments) {
    try {
        return RunExaminer(arguments);
    } catch (const std::exception& error) {
        // Only a lack of memory outside the core can get here.
        Complain(error.what());
        return SomeFailed;
    }
}

// Windows starts the examiner at wmain (windows_main.cpp), with its arguments in UTF-16.
#ifndef _WIN32
int main(int argc, char** argv) { return ExamineCommandLine(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
