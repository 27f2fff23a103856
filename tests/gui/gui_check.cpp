#include "tests/gui/gui_check.h"

#include <cstdio>
#include <utility>

bool Check::Expect(bool condition, const std::string& what) {
    if (!condition) failures.push_back(what);
    return condition;
}

bool Check::ExpectText(const std::string& seen, const std::string& wanted, const std::string& what) {
    return Expect(seen == wanted, what + ": saw " + Quoted(seen) + ", wanted " + Quoted(wanted));
}

void Check::Require(bool condition, const std::string& what) {
    if (!Expect(condition, what)) throw CaseAbort{};
}

std::vector<GuiCase>& GuiCases() {
    static std::vector<GuiCase> cases;
    return cases;
}

GuiCaseRegistration::GuiCaseRegistration(const std::string& name, CaseProcedure run) {
    GuiCases().push_back({name, std::move(run)});
}

std::string Quoted(const std::string& text) {
    std::string shown = "\"";
    for (const char letter : text) {
        if (letter == '\n')
            shown += "\\n";
        else if (letter == '\r')
            shown += "\\r";
        else if (letter == '\t')
            shown += "\\t";
        else if (static_cast<unsigned char>(letter) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(letter));
            shown += code;
        } else
            shown += letter;
    }
    return shown + "\"";
}
