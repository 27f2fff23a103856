#include "examiner/examination.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "examine/ascii_text.h"
#include "examine/kind_texts.h"
#include "gamefile/utf8_path.h"

namespace fs = std::filesystem;

std::string_view KindName(FileKind kind) { return KindTextOf(kind).examinerWord; }

std::optional<FileKind> KindFromName(std::string_view name) {
    for (const KindText& texts : KindTexts)
        if (EqualIgnoringAsciiCase(texts.examinerWord, name)) return texts.kind;
    return std::nullopt;
}

std::string Quoted(std::string_view text) { return std::string("'").append(text).append("'"); }

namespace {

constexpr std::string_view NotRegularFile = "not a regular file";

struct Listing {
    std::optional<FileKind> kind;
    bool recursive;
    std::vector<FileToExamine>& list;
};

// A path that is not a folder, with status as looked at (following links),
// found at place below the folder given (or given itself, at its own name).
void AddFile(const std::string& path, const fs::path& place, const fs::file_status& status,
             const std::error_code& error, const Listing& listing) {
    FileToExamine file{path, listing.kind ? listing.kind : KindFromExtension(path), {}, {}, Utf8Text(place) + ".png"};
    if (error) {
        file.reason = error.message();  // missing, a dangling link, a folder that cannot be passed
    } else if (!fs::is_regular_file(status)) {
        file.reason = NotRegularFile;
    } else if (!file.kind) {
        file.reason = "cannot tell a map from a scenario";
        file.hint = "name it *.map or *.scn, or give --kind";
    }
    listing.list.push_back(std::move(file));
}

FileToExamine FailedFolder(const std::string& folder, const Listing& listing, std::string reason) {
    return {folder, listing.kind, std::move(reason), {}, {}};
}

// Appends a folder's entries in name order: its game files and, when
// recursive, its subfolders' in their places. A folder that cannot be read
// becomes an entry of its own. place: the folder's below the folder given.
void AddFolder(const std::string& folder, const fs::path& place, const Listing& listing) {
    struct Entry {
        fs::path path;
        fs::file_status status;
        std::error_code error;
        bool isLink;
    };
    std::vector<Entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(Utf8Path(folder), error); !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code statusError, linkError;
        const fs::file_status status = it->status(statusError);
        entries.push_back({it->path(), status, statusError, it->is_symlink(linkError)});
    }
    if (error) {
        listing.list.push_back(FailedFolder(folder, listing, error.message()));
        return;
    }
    std::ranges::sort(entries, {}, [](const Entry& entry) { return entry.path.filename(); });
    for (const Entry& entry : entries) {
        const std::string path = Utf8Text(entry.path);
        const fs::path entryPlace = place / entry.path.filename();
        const bool gameName = KindFromExtension(path).has_value();
        if (fs::is_directory(entry.status)) {
            // Links to folders are not followed, so that no walk goes round in a circle.
            if (listing.recursive && !entry.isLink)
                AddFolder(path, entryPlace, listing);
            else if (gameName)
                AddFile(path, entryPlace, entry.status, std::make_error_code(std::errc::is_a_directory), listing);
        } else if (gameName) {
            AddFile(path, entryPlace, entry.status, entry.error, listing);
        }
    }
}

}  // namespace

std::vector<FileToExamine> ListFilesToExamine(const std::vector<std::string>& paths, std::optional<FileKind> kind,
                                              bool recursive) {
    std::vector<FileToExamine> list;
    const Listing listing{kind, recursive, list};
    for (const std::string& path : paths) {
        std::error_code error;
        const fs::file_status status = fs::status(Utf8Path(path), error);
        if (!fs::is_directory(status)) {
            AddFile(path, Utf8Path(path).filename(), status, error, listing);
            continue;
        }
        const size_t before = list.size();
        AddFolder(path, {}, listing);
        // An empty report alone would look like success on a mistyped folder.
        if (list.size() == before) list.push_back(FailedFolder(path, listing, "holds no *.map or *.scn files"));
    }
    return list;
}

namespace {

// Why the file at path cannot be opened for reading, in the system's words.
std::string OpenFailureReason(const std::string& path) {
    errno = 0;
    const std::ifstream file(Utf8Path(path), std::ios::binary);
    return file.is_open() || errno == 0 ? "" : std::generic_category().message(errno);
}

}  // namespace

Examination Examine(const FileToExamine& file, bool withMap) {
    Examination examination{file.path, file.kind, file.pictureName, LoadCannotOpen, file.reason, file.hint, {}, {}};
    if (!file.reason.empty()) return examination;

    // The title names the file by its path as given, as the error message does.
    const FileKind kind = *file.kind;
    examineResults.kind = kind;
    examineResults.fileName = file.path;
    examination.status = withMap ? ExaminePath(kind, file.path, examination.map) : ExaminePath(kind, file.path);
    examination.results = examineResults;
    if (examination.status == LoadCannotOpen) examination.reason = OpenFailureReason(file.path);
    FileKind tagged = kind;
    if (examination.status == LoadWrongTag && KindFromTypeTag(file.path, tagged) == LoadSucceeded)
        examination.hint = "this is a " + std::string(KindName(tagged)) + " file; examine it with --kind " +
                           std::string(KindName(tagged));
    return examination;
}

std::string FailureMessage(const Examination& examination) {
    const std::string_view kindName = examination.kind ? KindTextOf(*examination.kind).kindName : EitherKindName;
    return LoadStatusMessage(kindName, examination.path, examination.status);
}
