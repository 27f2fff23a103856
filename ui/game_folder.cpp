#include "ui/game_folder.h"

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "examine/ascii_text.h"
#include "examine/kind_texts.h"
#include "ui/examine_file.h"
#include "ui/main_window.h"

std::string gameFolder;

namespace {

constexpr const char* GameKey = "SOFTWARE\\Brindlecap\\Corvanta";
constexpr const char* IniFileValue = "INI_FILE_NAME";
constexpr const char* DefaultIniPath = ".\\CV.ini";
constexpr const char* DefaultGameFolder = "C:\\Corvanta";
constexpr const char* CurrentFolder = ".\\";
constexpr DWORD ValueBufferSize = 1000;
// The game is a 32-bit program, so its value lies in the registry's 32-bit
// view: a 32-bit build sees that view anyway, a 64-bit build must ask for it.
#ifdef _WIN64
constexpr REGSAM GameKeyView = KEY_WOW64_32KEY;
#else
constexpr REGSAM GameKeyView = 0;
#endif

// A path of MAX_PATH - 1 characters in bytes of the system's code page: up
// to three a character in UTF-8.
constexpr size_t PathBufferSize = 3 * (MAX_PATH - 1) + 1;

constexpr DWORD FileDialogFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
static_assert(FileDialogFlags == 0x180C);

// The registry value that names the game's INI file, its bytes taken as text
// up to the first terminator whatever its type; empty when the key or the
// value is missing or cannot be read.
std::string ReadIniFileName() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, GameKey, 0, KEY_QUERY_VALUE | GameKeyView, &key) != ERROR_SUCCESS) return {};
    // One byte more than the query may fill, so the text is always terminated.
    std::string value(ValueBufferSize + 1, '\0');
    DWORD byteCount = ValueBufferSize;
    LONG result = RegQueryValueExA(key, IniFileValue, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                                   &byteCount);
    if (result == ERROR_MORE_DATA) {
        // Longer than the buffer: read it whole rather than cut it.
        value.assign(static_cast<size_t>(byteCount) + 1, '\0');
        result = RegQueryValueExA(key, IniFileValue, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                                  &byteCount);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return {};
    value.resize(std::strlen(value.c_str()));
    return value;
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

bool FileOpensForReading(const char* path) {
    const std::unique_ptr<FILE, FileCloser> file(std::fopen(path, "r"));
    return file != nullptr;
}

void ShowFileDialogFailure(DWORD extendedError) {
    std::string text;
    if (extendedError == FNERR_BUFFERTOOSMALL) {
        text = "The full path of the chosen file is too long: Telvorn can open a file whose full path has at most " +
               std::to_string(MAX_PATH - 1) + " characters.\nMove or rename the file, then choose it again.";
    } else {
        std::array<char, 16> code{};
        std::snprintf(code.data(), code.size(), "0x%04lX", static_cast<unsigned long>(extendedError));
        text = std::string("The file selection dialog failed (error ") + code.data() + "), so no file was chosen.";
    }
    ShowFileError(text.c_str());
}

std::string FilterText(const KindText& texts) {
    std::string filter(texts.filterDescription);
    filter.push_back('\0');
    filter.append(texts.filterPattern);
    filter.push_back('\0');
    return filter;  // c_str() adds the closing terminator
}

}  // namespace

void LookUpGameFolder() {
    std::string iniPath = ReadIniFileName();
    if (iniPath.empty()) {
        iniPath = DefaultIniPath;
        if (!FileOpensForReading(iniPath.c_str())) {
            gameFolder = CurrentFolder;
            return;
        }
    }
    // GetPrivateProfileStringA cuts the value to 999 characters and always
    // terminates it.
    std::array<char, ValueBufferSize> folder{};
    GetPrivateProfileStringA("FILE", "MAIN", DefaultGameFolder, folder.data(), ValueBufferSize, iniPath.c_str());
    gameFolder = std::string(folder.data()) + "\\";
}

int ChooseFile(std::string& folder, std::string& fileName, const std::string& filter,
               const std::string& defaultExtension, const std::string& title) {
    std::array<char, PathBufferSize> fileBuffer{};
    std::array<char, PathBufferSize> initialFolder{};
    // A folder whose absolute form does not fit starts the dialog in its
    // default folder.
    const bool folderFits = _fullpath(initialFolder.data(), folder.c_str(), initialFolder.size()) != nullptr;
    if (fileName.size() < fileBuffer.size()) fileName.copy(fileBuffer.data(), fileName.size());

    OPENFILENAMEA record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = mainWindow;
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = 1;
    record.lpstrFile = fileBuffer.data();
    record.nMaxFile = static_cast<DWORD>(fileBuffer.size());
    record.lpstrInitialDir = folderFits ? initialFolder.data() : nullptr;
    record.lpstrTitle = title.c_str();
    record.Flags = FileDialogFlags;
    record.lpstrDefExt = defaultExtension.c_str();

    const BOOL accepted = GetOpenFileNameA(&record);
    if (!accepted) {
        // 0 is a plain cancel; anything else means the dialog could not give
        // the choice back, which the user must hear about.
        const DWORD extendedError = CommDlgExtendedError();
        if (extendedError != 0) ShowFileDialogFailure(extendedError);
        return 0;
    }
    const std::string chosen(fileBuffer.data(), strnlen(fileBuffer.data(), fileBuffer.size()));
    const size_t nameOffset = std::min<size_t>(record.nFileOffset, chosen.size());
    fileName = chosen.substr(nameOffset);
    folder = chosen.substr(0, nameOffset);
    return accepted;
}

std::optional<std::string> SelectGameFile(FileKind kind) {
    const KindText& texts = KindTextOf(kind);
    std::string& fileName = RememberedFileName(kind);
    if (lastFolder.empty()) lastFolder = gameFolder + "map\\";
    LowerCaseAscii(lastFolder);
    LowerCaseAscii(fileName);
    if (!ChooseFile(lastFolder, fileName, FilterText(texts), std::string(texts.defaultExtension),
                    std::string(texts.dialogTitle)))
        return std::nullopt;
    LowerCaseAscii(lastFolder);
    LowerCaseAscii(fileName);
    return lastFolder + fileName;
}
