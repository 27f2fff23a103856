#include "examiner/windows_console.h"

#include <algorithm>
#include <iostream>
#include <string>

namespace {

// UTF-8 text to a console as UTF-16. A character whose bytes a flush cuts
// waits for the rest of them.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) pending_ += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<size_t>(count));
        return count;
    }
    int sync() override {
        const size_t whole = WholeCharacters();
        std::wstring wide(whole, L'\0');  // never more UTF-16 units than UTF-8 bytes
        wide.resize(static_cast<size_t>(
            MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole), wide.data(), static_cast<int>(whole))));
        pending_.erase(0, whole);
        for (size_t written = 0; written < wide.size();) {
            DWORD count = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - written, 8192));
            if (!WriteConsoleW(console_, wide.data() + written, chunk, &count, nullptr) || count == 0) return -1;
            written += count;
        }
        return 0;
    }

private:
    // The bytes of pending_ before a last character that is cut short.
    size_t WholeCharacters() const {
        for (size_t back = 1; back <= 3 && back <= pending_.size(); ++back) {
            const auto byte = static_cast<unsigned char>(pending_[pending_.size() - back]);
            if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
            const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            return length > back ? pending_.size() - back : pending_.size();
        }
        return pending_.size();
    }

    HANDLE console_;
    std::string pending_;
};

constexpr DWORD StandardOutputs[] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

std::ostream& StreamOf(size_t output) { return output == 0 ? std::cout : std::cerr; }

}  // namespace

bool KeepsConsoleOpen(unsigned long consoleProcessCount, bool inputIsConsole, bool outputIsConsole) {
    return consoleProcessCount == 1 && inputIsConsole && outputIsConsole;
}

bool IsConsole(DWORD standardHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != 0;
}

ConsoleText::ConsoleText() {
    for (size_t output = 0; output < consoles_.size(); ++output) {
        if (!IsConsole(StandardOutputs[output])) continue;
        consoles_[output] = std::make_unique<ConsoleBuffer>(GetStdHandle(StandardOutputs[output]));
        own_[output] = StreamOf(output).rdbuf(consoles_[output].get());
    }
}

ConsoleText::~ConsoleText() {
    for (size_t output = 0; output < consoles_.size(); ++output) {
        if (!consoles_[output]) continue;
        StreamOf(output).flush();
        StreamOf(output).rdbuf(own_[output]);
    }
}

void WaitForKey() {
    std::cout << "\nPress any key to close this window." << std::flush;
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    FlushConsoleInputBuffer(input);  // keys pressed while it worked do not count
    INPUT_RECORD record{};
    DWORD read = 0;
    while (ReadConsoleInputW(input, &record, 1, &read) && read == 1)
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
}
