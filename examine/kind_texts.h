#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "analysis/examine_results.h"

// The constant texts and settings of one kind of game file: everything that
// tells a map from a scenario, for the examination, the window and the
// command-line examiner alike.
struct KindText {
    FileKind kind;
    char typeTag[5];
    uint8_t minVersion;
    uint8_t maxVersion;
    std::string_view kindName;           // in the error text and the results' title
    std::string_view examinerWord;       // the command-line examiner's name of the kind
    std::string_view extension;          // what the kind's files end with, any letter case
    std::string_view filterDescription;  // the file dialog's filter
    std::string_view filterPattern;
    std::string_view defaultExtension;
    std::string_view dialogTitle;
    bool readsScenarioUnits;
    int resultsTemplate;
};

constexpr std::array<KindText, 2> KindTexts{{
    {FileKind::Map, "CMAP", 1, 1, "Map", "map", ".map", "Corvanta Map(*.map)", "*.map", "MAP",
     "Select MAP to Load:", false, 134},
    {FileKind::Scenario, "CSCN", 1, 1, "Scenario", "scenario", ".scn", "Corvanta Scenario(*.scn)", "*.scn", "SCN",
     "Select Scenario to Load:", true, 135},
}};

// The kind name of a file whose kind is not known, in the error text.
constexpr std::string_view EitherKindName = "Map or Scenario";

constexpr const KindText& KindTextOf(FileKind kind) {
    return KindTexts[kind == FileKind::Map ? 0 : 1];
}

// The row whose type tag is typeTag, or nothing when it names no kind.
constexpr const KindText* KindTextOfTag(std::string_view typeTag) {
    for (const KindText& texts : KindTexts)
        if (typeTag == std::string_view(texts.typeTag)) return &texts;
    return nullptr;
}
