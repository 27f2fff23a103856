#include "gamefile/utf8_path.h"

std::filesystem::path Utf8Path(std::string_view text) {
    try {
        return std::filesystem::path(std::u8string(text.begin(), text.end()));
    } catch (const std::filesystem::filesystem_error&) {
        return {};  // no UTF-8, on Windows: a path that opens nothing
    }
}

std::string Utf8Text(const std::filesystem::path& path) {
    try {
        const std::u8string text = path.u8string();
        return {text.begin(), text.end()};
    } catch (const std::filesystem::filesystem_error&) {
        // A lone surrogate (Windows): keep what is ASCII, and mark the rest.
        std::string text;
        for (const auto unit : path.native())
            text += static_cast<unsigned>(unit) < 0x80 ? std::string(1, static_cast<char>(unit)) : "\xEF\xBF\xBD";
        return text;
    }
}
