#include "examine/file_kind.h"

#include <array>
#include <fstream>

#include "examine/ascii_text.h"
#include "examine/kind_texts.h"
#include "gamefile/utf8_path.h"

std::optional<FileKind> KindFromExtension(std::string_view path) {
    const std::string extension = Utf8Text(Utf8Path(path).extension());
    for (const KindText& texts : KindTexts)
        if (EqualIgnoringAsciiCase(extension, texts.extension)) return texts.kind;
    return std::nullopt;
}

LoadStatus KindFromTypeTag(const std::string& path, FileKind& kind) {
    std::ifstream file(Utf8Path(path), std::ios::binary);
    if (!file.is_open()) return LoadCannotOpen;
    std::array<char, 4> tag{};
    file.read(tag.data(), tag.size());  // a game file's first four bytes
    const KindText* texts = file ? KindTextOfTag({tag.data(), tag.size()}) : nullptr;
    if (texts == nullptr) return LoadUnknownKind;
    kind = texts->kind;
    return LoadSucceeded;
}
