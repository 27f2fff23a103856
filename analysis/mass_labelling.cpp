#include "analysis/mass_labelling.h"

#include <algorithm>
#include <new>

#include "analysis/terrain_class.h"
#include "examine/examine_results.h"

namespace {

constexpr uint16_t GiveUpLimit = 10000;  // a mass this large is never given up
constexpr int CountLimit = 255;

// The working state of one run; the labels outlive it until the next run.
std::vector<uint8_t> labels;
std::vector<uint16_t> waterLabelSizes;
std::vector<uint16_t> landLabelSizes;
uint16_t currentSquare = 0;
int columns = 0;

bool IsWaterSquare(int square) { return IsWaterCode(mapSquares[square]); }

int32_t& MassCount(uint16_t isWater) {
    return isWater ? examineResults.waterMassCount : examineResults.landMassCount;
}

std::vector<uint16_t>& LabelSizes(uint16_t isWater) {
    return isWater ? waterLabelSizes : landLabelSizes;
}

// The part of the grid that the scan covers: the rows between the first and
// the last, and the band of columns clipped to the squares that exist.
struct ScanBand {
    int lastRow;  // exclusive
    int firstColumn;
    int lastColumn;  // inclusive
};

ScanBand BandOf(const MapHeader& header) {
    const int lastColumn = std::min<int>(header.lastColumn, header.columns - 1);
    return {header.rows - 1, header.firstColumn, lastColumn};
}

}  // namespace

const std::vector<uint8_t>& massLabels() { return labels; }

void ReleaseMassBuffers() {
    std::vector<uint8_t>().swap(labels);
    std::vector<uint16_t>().swap(waterLabelSizes);
    std::vector<uint16_t>().swap(landLabelSizes);
}

uint8_t MergeMassLabels(uint8_t neighbourLabel, uint8_t runningLabel, uint16_t isWater) {
    const uint8_t lo = std::min(neighbourLabel, runningLabel);
    const uint8_t hi = std::max(neighbourLabel, runningLabel);
    for (int m = columns; m < currentSquare; ++m) {
        const uint8_t label = labels[m];
        if (label < OverflowLabel && label >= hi && IsWaterSquare(m) == (isWater != 0))
            labels[m] = label == hi ? lo : static_cast<uint8_t>(label - 1);
    }
    --MassCount(isWater);
    // The absorbed label's tally is not added to the survivor's.
    std::vector<uint16_t>& sizes = LabelSizes(isWater);
    for (int m = hi; m < 253; ++m) sizes[m] = sizes[m + 1];
    return lo;
}

uint8_t NewMassLabel(uint16_t isWater) {
    int32_t& count = MassCount(isWater);
    std::vector<uint16_t>& sizes = LabelSizes(isWater);
    uint8_t label;
    if (count < CountLimit) {
        label = static_cast<uint8_t>(count);
        ++count;
    } else {
        // Give up the smallest mass (the lowest label among equals) and reuse its label.
        int smallest = -1;
        for (int candidate = 0; candidate < OverflowLabel; ++candidate) {
            if (sizes[candidate] < GiveUpLimit &&
                (smallest < 0 || sizes[candidate] < sizes[smallest]))
                smallest = candidate;
        }
        if (smallest < 0) return NoLabel;
        label = static_cast<uint8_t>(smallest);
        for (int m = 0; m < currentSquare; ++m) {
            if (labels[m] == label && IsWaterSquare(m) == (isWater != 0)) {
                labels[m] = OverflowLabel;
                ++sizes[OverflowLabel];
            }
        }
    }
    sizes[label] = 0;
    return label;
}

uint16_t LabelMasses(const MapHeader& header) {
    ReleaseMassBuffers();
    // The grid is covered whole even when the header names fewer squares:
    // the missing squares read as code 0, as the terrain counts see them.
    const size_t gridSize = std::max<size_t>(header.squareCount, size_t{header.rows} * header.columns);
    try {
        labels.assign(gridSize, NoLabel);
        waterLabelSizes.assign(256, 0);
        landLabelSizes.assign(256, 0);
    } catch (const std::bad_alloc&) {
        ReleaseMassBuffers();
        return 1;
    }
    examineResults.waterMassCount = 0;
    examineResults.landMassCount = 0;
    columns = header.columns;

    const ScanBand band = BandOf(header);
    static constexpr int Neighbours[4][2] = {{-1, 0}, {-1, -1}, {0, -1}, {1, -1}};  // W, NW, N, NE
    for (int row = 1; row < band.lastRow; ++row) {
        for (int column = band.firstColumn; column <= band.lastColumn; ++column) {
            currentSquare = static_cast<uint16_t>(row * columns + column);
            const uint16_t isWater = IsWaterSquare(currentSquare) ? 1 : 0;
            uint8_t running = NoLabel;
            for (const auto& [dx, dy] : Neighbours) {
                // Columns always wrap east-west, whether or not the map does.
                const int neighbour = (row + dy) * columns + (column + dx + columns) % columns;
                const uint8_t label = labels[neighbour];
                if (label >= OverflowLabel || label == running) continue;
                if (IsWaterSquare(neighbour) != (isWater != 0)) continue;
                running = running == NoLabel ? label : MergeMassLabels(label, running, isWater);
            }
            if (running == NoLabel) running = NewMassLabel(isWater);
            labels[currentSquare] = running;
            ++LabelSizes(isWater)[running];
        }
    }

    std::vector<uint16_t>().swap(landLabelSizes);
    std::vector<uint16_t>().swap(waterLabelSizes);
    return 0;
}
