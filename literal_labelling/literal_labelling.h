#pragma once

#include <cstdint>
#include <vector>

#include "analysis/map_statistics.h"
#include "filemaker/game_file_writer.h"

// The mass labelling done the plain way: every merge and every give-up
// rewrites the squares scanned so far at once. Slow on maps with many of
// them, but easy to follow, so the tests and benchmarks hold LabelMasses to
// its figures and labels.
struct LiteralMasses {
    int32_t waterMassCount = 0;
    int32_t landMassCount = 0;
    std::vector<uint8_t> labels;  // as massLabels() leaves them
};

// Labels squares (the terrain codes, indexed like mapSquares) under header.
LiteralMasses LabelMassesLiterally(const MapHeader& header, const uint8_t* squares);

// The header that an examination decodes from map's file.
MapHeader HeaderOf(const filemaker::MapLayout& map);

// Puts map's squares into mapSquares as an examination reads them (zeros past
// the header's square count) and returns its header.
MapHeader LoadSquares(const filemaker::MapLayout& map);
