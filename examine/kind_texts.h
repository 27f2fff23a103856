#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "examine/examine_results.h"

// The constant texts and settings of one kind of game file.
struct KindText {
    FileKind kind;
    char typeTag[5];
    uint8_t minVersion;
    uint8_t maxVersion;
    std::string_view kindName;
    std::string_view filterDescription;
    std::string_view filterPattern;
    std::string_view defaultExtension;
    std::string_view dialogTitle;
    bool readsScenarioUnits;
    int resultsTemplate;
};

constexpr std::array<KindText, 2> KindTexts{{
    {FileKind::Map, "CMAP", 1, 1, "Map", "Corvanta Map(*.map)", "*.map", "MAP",
     "Select MAP to Load:", false, 134},
    {FileKind::Scenario, "CSCN", 1, 1, "Scenario", "Corvanta Scenario(*.scn)", "*.scn", "SCN",
     "Select Scenario to Load:", true, 135},
}};

constexpr const KindText& KindTextOf(FileKind kind) {
    return KindTexts[kind == FileKind::Map ? 0 : 1];
}
