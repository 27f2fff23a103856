#pragma once

#include <array>
#include <cstddef>
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

// The squares that the mass labelling scans: the rows between the first and
// the last, and in each the header's band of columns, clipped to the columns
// that exist. Empty when the map has fewer than three rows.
struct ScanBand {
    int firstRow, lastRow;        // inclusive
    int firstColumn, lastColumn;  // inclusive

    bool Contains(int row, int column) const {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
    size_t SquareCount() const {
        return lastRow < firstRow || lastColumn < firstColumn
                   ? 0
                   : size_t(lastRow - firstRow + 1) * size_t(lastColumn - firstColumn + 1);
    }
};
ScanBand ScanBandOf(const MapHeader& header);

// Reads MAPD and CITY from currentFile into the map fields of examineResults
// and runs the mass labelling. Returns 0; -2 when a chunk is missing or a read
// comes up short; -4 when the city records cannot be given memory. Throws
// std::bad_alloc when the labelling cannot get its working memory, which the
// examination reports as -10, so that no earlier file's counts pass for
// this one's. On failure the fields written so far keep their
// values. The second form also hands out the map's header once it is read.
LoadStatus CollectMapStatistics();
LoadStatus CollectMapStatistics(MapHeader& header);
