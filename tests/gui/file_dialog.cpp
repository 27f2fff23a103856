#include "tests/gui/file_dialog.h"

#include <commdlg.h>

#include "tests/gui/windows_seen.h"

namespace {

constexpr int FileNameBox = 1148;  // cmb13, the file name combo box
constexpr SIZE_T ReplySize = 2048;

// A block of memory inside the program's process. The CDM_ messages write
// their answer through a pointer that the dialog takes as its own, so the
// answer must be asked for into the dialog's process and read from there.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : process(process), address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address != nullptr) VirtualFreeEx(process, address, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* Address() const { return address; }
    std::string Text(SIZE_T size) const {
        std::string text(size, '\0');
        SIZE_T read = 0;
        if (address == nullptr || !ReadProcessMemory(process, address, text.data(), size, &read)) return {};
        text.resize(strnlen(text.c_str(), read));
        return text;
    }

private:
    HANDLE process;
    void* address;
};

std::string AskDialog(const TelvornProcess& program, HWND dialog, UINT message) {
    RemoteBuffer reply(program.Handle(), ReplySize);
    if (reply.Address() == nullptr) return {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(dialog, message, ReplySize, reinterpret_cast<LPARAM>(reply.Address()), SMTO_ABORTIFHUNG,
                             5000, &length) ||
        static_cast<LONG_PTR>(length) < 0)
        return {};
    return reply.Text(ReplySize);
}

// The edit control inside the file name box, where a user types.
HWND FileNameEdit(HWND dialog) {
    HWND found = GetDlgItem(dialog, FileNameBox);
    for (HWND inner = found; inner != nullptr;) {
        found = inner;
        if (ClassNameOf(inner) == "Edit") break;
        inner = GetWindow(inner, GW_CHILD);
    }
    return found;
}

std::string WithoutTrailingBackslash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
    return folder;
}

}  // namespace

std::string FileDialogFolder(const TelvornProcess& program, HWND dialog) {
    return AskDialog(program, dialog, CDM_GETFOLDERPATH);
}

std::string FileDialogName(const TelvornProcess& program, HWND dialog) {
    return AskDialog(program, dialog, CDM_GETSPEC);
}

void ChooseInFileDialog(HWND dialog, const std::string& nameOrPath) {
    SetWindowTextA(FileNameEdit(dialog), nameOrPath.c_str());
    ClickButton(dialog, IDOK);
}

void CancelFileDialog(HWND dialog) { ClickButton(dialog, IDCANCEL); }

std::string LowerCased(std::string text) {
    for (char& letter : text)
        if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
    return text;
}

bool SameFolder(const std::string& shown, const std::string& expected) {
    return LowerCased(WithoutTrailingBackslash(shown)) == LowerCased(WithoutTrailingBackslash(expected));
}
