#pragma once

#include <array>
#include <cstdint>

#include "gamefile/load_status.h"

// The 12-byte header at the start of the MAPD chunk's data.
struct MapHeader {
    uint8_t rows = 0;
    uint8_t columns = 0;
    uint16_t squareCount = 0;
    uint8_t wrapFlag = 0;
    uint8_t firstColumn = 0;
    uint8_t lastColumn = 0;
};

constexpr int MapHeaderSize = 12;
constexpr int MapSquaresSize = 70000;

// Decodes a MapHeader from its 12 file bytes.
MapHeader DecodeMapHeader(const uint8_t* bytes);

// The terrain codes of the map being examined, row by row
// (index row * columns + column); every byte past squareCount is 0.
extern std::array<uint8_t, MapSquaresSize> mapSquares;

// The header of the map being examined, as its file gives it; all zeros
// until the MAPD chunk's header has been read.
extern MapHeader mapHeader;

// Reads MAPD and CITY from currentFile into the map fields of examineResults
// and runs the mass labelling. Returns 0; -2 when a chunk is missing or a read
// comes up short; -4 when the city records cannot be given memory; -10 when
// the labelling cannot get its working memory. On failure the fields written
// so far keep their values.
LoadStatus CollectMapStatistics();
