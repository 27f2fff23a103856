#include "literal_labelling/literal_labelling.h"

#include <algorithm>
#include <array>
#include <utility>

#include "analysis/mass_labelling.h"
#include "analysis/terrain_class.h"

namespace {

constexpr uint16_t GiveUpLimit = 10000;
constexpr int CountLimit = 255;

class LiteralLabelling {
public:
    LiteralLabelling(const MapHeader& header, const uint8_t* squares)
        : squares_(squares), columns_(header.columns) {
        result_.labels.assign(std::max<size_t>(header.squareCount, size_t{header.rows} * header.columns), NoLabel);
        const ScanBand band = ScanBandOf(header);
        static constexpr int Neighbours[4][2] = {{-1, 0}, {-1, -1}, {0, -1}, {1, -1}};  // W, NW, N, NE
        for (int row = band.firstRow; row <= band.lastRow; ++row) {
            for (int column = band.firstColumn; column <= band.lastColumn; ++column) {
                current_ = row * columns_ + column;
                const bool water = IsWater(current_);
                uint8_t running = NoLabel;
                for (const auto& [dx, dy] : Neighbours) {
                    const int neighbour = (row + dy) * columns_ + (column + dx + columns_) % columns_;
                    const uint8_t label = labels()[neighbour];
                    if (label >= OverflowLabel || label == running || IsWater(neighbour) != water) continue;
                    running = running == NoLabel ? label : Merge(label, running, water);
                }
                if (running == NoLabel) running = NewLabel(water);
                labels()[current_] = running;
                ++Sizes(water)[running];
            }
        }
    }

    LiteralMasses Result() && { return std::move(result_); }

private:
    bool IsWater(int square) const { return IsWaterCode(squares_[square]); }
    std::vector<uint8_t>& labels() { return result_.labels; }
    int32_t& Count(bool water) { return water ? result_.waterMassCount : result_.landMassCount; }
    std::array<uint16_t, 256>& Sizes(bool water) { return water ? waterSizes_ : landSizes_; }

    uint8_t Merge(uint8_t a, uint8_t b, bool water) {
        const uint8_t lo = std::min(a, b), hi = std::max(a, b);
        for (int m = columns_; m < current_; ++m) {
            const uint8_t label = labels()[m];
            if (label < OverflowLabel && label >= hi && IsWater(m) == water)
                labels()[m] = label == hi ? lo : static_cast<uint8_t>(label - 1);
        }
        --Count(water);
        auto& sizes = Sizes(water);
        for (int m = hi; m < 253; ++m) sizes[m] = sizes[m + 1];
        return lo;
    }

    uint8_t NewLabel(bool water) {
        int32_t& count = Count(water);
        auto& sizes = Sizes(water);
        uint8_t label;
        if (count < CountLimit) {
            label = static_cast<uint8_t>(count++);
        } else {
            int smallest = -1;
            for (int candidate = 0; candidate < OverflowLabel; ++candidate)
                if (sizes[candidate] < GiveUpLimit && (smallest < 0 || sizes[candidate] < sizes[smallest]))
                    smallest = candidate;
            if (smallest < 0) return NoLabel;
            label = static_cast<uint8_t>(smallest);
            for (int m = 0; m < current_; ++m) {
                if (labels()[m] == label && IsWater(m) == water) {
                    labels()[m] = OverflowLabel;
                    ++sizes[OverflowLabel];
                }
            }
        }
        sizes[label] = 0;
        return label;
    }

    const uint8_t* squares_;
    int columns_;
    int current_ = 0;
    std::array<uint16_t, 256> waterSizes_{};
    std::array<uint16_t, 256> landSizes_{};
    LiteralMasses result_;
};

}  // namespace

LiteralMasses LabelMassesLiterally(const MapHeader& header, const uint8_t* squares) {
    return LiteralLabelling(header, squares).Result();
}

MapHeader HeaderOf(const filemaker::MapLayout& map) {
    MapHeader header;
    header.rows = map.rows;
    header.columns = map.columns;
    header.squareCount = map.squareCount.value_or(static_cast<uint16_t>(map.squares.size()));
    header.wrapFlag = map.wrapFlag;
    header.firstColumn = map.firstColumn;
    header.lastColumn = map.lastColumn.value_or(static_cast<uint8_t>(map.columns - 1));
    return header;
}

MapHeader LoadSquares(const filemaker::MapLayout& map) {
    const MapHeader header = HeaderOf(map);
    mapSquares.fill(0);
    std::copy_n(map.squares.begin(), std::min<size_t>(map.squares.size(), header.squareCount), mapSquares.begin());
    return header;
}
