#include "examiner/examination.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "examine/ascii_text.h"
#include "examine/examine_path.h"
#include "examine/kind_texts.h"

namespace fs = std::filesystem;

std::string_view KindName(FileKind kind) { return KindTextOf(kind).examinerWord; }

std::optional<FileKind> KindFromName(std::string_view name) {
    for (const KindText& texts : KindTexts)
        if (texts.examinerWord == name) return texts.kind;
    return std::nullopt;
}

std::string Quoted(std::string_view text) { return std::string("'").append(text).append("'"); }

namespace {

// Appends the game files of a folder in name order, or reports why the
// folder cannot be listed.
void ListFolder(const std::string& folder, std::optional<FileKind> kind, FileList& list) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    std::vector<FileToExamine> found;
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string path = entries->path().string();
        const std::optional<FileKind> extensionKind = KindFromExtension(path);
        std::error_code ignored;  // an entry that cannot be looked at is no game file
        if (extensionKind && entries->is_regular_file(ignored))
            found.push_back({path, kind.value_or(*extensionKind)});
    }
    if (error) {
        list.folderErrors.push_back(Quoted(folder) + ": cannot read the folder (" + error.message() + ")");
        return;
    }
    if (found.empty()) {
        // An empty report alone would look like success on a mistyped folder.
        list.folderErrors.push_back(Quoted(folder) + ": holds no *.map or *.scn files");
        return;
    }
    std::ranges::sort(found, {}, [](const FileToExamine& file) { return fs::path(file.path).filename(); });
    list.files.insert(list.files.end(), found.begin(), found.end());
}

}  // namespace

std::optional<FileKind> KindFromExtension(const std::string& path) {
    const std::string extension = fs::path(path).extension().string();
    for (const KindText& texts : KindTexts)
        if (EqualIgnoringAsciiCase(extension, texts.extension)) return texts.kind;
    return std::nullopt;
}

FileList ListFilesToExamine(const std::vector<std::string>& paths, std::optional<FileKind> kind) {
    FileList list;
    for (const std::string& path : paths) {
        std::error_code ignored;  // a status that cannot be had counts as a missing file
        const fs::file_status status = fs::status(path, ignored);
        const std::optional<FileKind> extensionKind = KindFromExtension(path);
        if (fs::is_directory(status)) {
            ListFolder(path, kind, list);
        } else if (fs::exists(status) && !fs::is_regular_file(status)) {
            list.usageErrors.push_back(Quoted(path) + ": neither a file nor a folder");
        } else if (!fs::exists(status) && !extensionKind) {
            // Without a game file's extension a missing path may as well be a mistyped folder.
            list.usageErrors.push_back(Quoted(path) + ": no such file or folder");
        } else if (!kind && !extensionKind) {
            list.usageErrors.push_back(Quoted(path) +
                                       ": cannot tell a map from a scenario; name it *.map or "
                                       "*.scn, or give --kind");
        } else {
            // A missing *.map or *.scn is examined, and fails as a missing game file does.
            list.files.push_back({path, kind ? *kind : *extensionKind});
        }
    }
    return list;
}

Examination Examine(const FileToExamine& file, bool withMap) {
    // The title names the file by its path as given, as the error message does.
    examineResults.kind = file.kind;
    examineResults.fileName = file.path;
    Examination examination{file.path, file.kind, LoadSucceeded, {}, {}};
    examination.status = withMap ? ExaminePath(file.kind, file.path, examination.map)
                                 : ExaminePath(file.kind, file.path);
    examination.results = examineResults;
    return examination;
}
