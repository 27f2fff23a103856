#include "analysis/mass_labelling.h"

#include <algorithm>
#include <array>
#include <new>

#include "analysis/terrain_class.h"
#include "examine/examine_results.h"

// The scan hands out, merges and gives up labels exactly as if every merge and
// every give-up rewrote the squares scanned so far, but it never rewrites
// them. Each square points to the mass it joined; a merge points the absorbed
// mass to the survivor (a union-find forest), and a give-up marks the mass.
// What moves is each kind's short table of labels: a merge takes a label out
// and moves the ones above it down by one, at most 253 entries whatever the
// size of the map. The squares' labels are read off the masses at the end.

namespace {

constexpr uint16_t GiveUpLimit = 10000;  // a mass this large is never given up
constexpr int CountLimit = 255;
constexpr int RegularLabels = OverflowLabel;  // labels 0 to 253

// What a square's entry in squareMasses holds besides the index of a mass.
constexpr uint16_t NoMass = 0xFFFF;       // holds NoLabel
constexpr uint16_t GivenUpMass = 0xFFFE;  // holds OverflowLabel
// The first mass stands for no mass, given up from the start, so that a
// neighbour can be looked up the same way whatever it holds.
constexpr uint16_t NothingMass = 0;

// A mass as the scan has built it. Only a root (parent == itself) holds a
// label; a root that was given up holds OverflowLabel.
struct Mass {
    uint16_t parent;
    uint16_t squares;  // its squares, the absorbed masses' included
    uint32_t key;      // the key of the label it holds
    uint8_t label;     // its label when last looked up: labels only move down
    bool givenUp;
};

// A regular label: the mass that holds it, and a key that grows with the
// label, so that a mass finds where its label has moved by a binary search.
struct Slot {
    uint16_t mass;
    uint32_t key;
};

// A give-up looks for the smallest counter. The counters are taken in blocks
// of this many labels, and each block remembers its smallest until one of
// its counters changes.
constexpr int CounterBlock = 16;
constexpr int CounterBlocks = 256 / CounterBlock;

// One kind's labels and counters.
struct KindLabels {
    int32_t* count;  // the kind's mass count in examineResults
    std::vector<uint16_t>* sizes;
    // Labels in use lie below min(count, 254); the slots from there up hold
    // no mass, and only the keys below it are in order.
    std::array<Slot, RegularLabels> slots;
    uint32_t nextKey;  // each merge and each new label takes one
    std::array<uint8_t, CounterBlocks> blockSmallest;  // the label of its smallest counter
    std::array<bool, CounterBlocks> blockChanged;

    void Reset(int32_t& kindCount, std::vector<uint16_t>& kindSizes) {
        count = &kindCount;
        sizes = &kindSizes;
        slots.fill({NoMass, 0});
        nextKey = 0;
        blockChanged.fill(true);
    }

    int LabelsInUse() const { return std::min(*count, RegularLabels); }

    void CountersChangedFrom(int label) {
        std::fill(blockChanged.begin() + label / CounterBlock, blockChanged.end(), true);
    }
    void AddToCounter(int label) {
        ++(*sizes)[label];
        blockChanged[label / CounterBlock] = true;
    }
    void ResetCounter(int label) {
        (*sizes)[label] = 0;
        blockChanged[label / CounterBlock] = true;
    }

    // The label whose counter is the smallest below GiveUpLimit, the lowest
    // among equals; -1 when there is none.
    int SmallestCounter() {
        const std::vector<uint16_t>& counters = *sizes;
        int smallest = -1;
        uint16_t least = GiveUpLimit;
        for (int block = 0; block < CounterBlocks; ++block) {
            if (blockChanged[block]) {
                const auto first = counters.begin() + block * CounterBlock;
                const auto end = counters.begin() + std::min((block + 1) * CounterBlock, RegularLabels);
                blockSmallest[block] = static_cast<uint8_t>(std::min_element(first, end) - counters.begin());
                blockChanged[block] = false;
            }
            if (counters[blockSmallest[block]] < least) {
                smallest = blockSmallest[block];
                least = counters[smallest];
            }
        }
        return smallest;
    }
};

// The working state of one run; the labels outlive it until the next run.
std::vector<uint8_t> labels;
std::vector<uint16_t> waterLabelSizes;
std::vector<uint16_t> landLabelSizes;
std::vector<uint16_t> squareMasses;
std::vector<Mass> masses;
KindLabels waterLabels;
KindLabels landLabels;
uint16_t currentSquare = 0;

constexpr std::array<bool, 256> WaterCodes = [] {
    std::array<bool, 256> water{};
    for (int code = 0; code < 256; ++code) water[code] = IsWaterCode(static_cast<uint8_t>(code));
    return water;
}();

bool IsWaterSquare(int square) { return WaterCodes[mapSquares[square]]; }

KindLabels& LabelsOf(uint16_t isWater) { return isWater ? waterLabels : landLabels; }

uint16_t RootOf(uint16_t mass) {
    while (masses[mass].parent != mass) {
        masses[mass].parent = masses[masses[mass].parent].parent;  // halves the path
        mass = masses[mass].parent;
    }
    return mass;
}

// The root of the mass that a scanned square belongs to, or NoMass or
// GivenUpMass; the square is made to point to it straight.
uint16_t MassOf(int square) {
    const uint16_t entry = squareMasses[square];
    if (entry >= GivenUpMass) return entry;
    const uint16_t root = RootOf(entry);
    if (root != entry) squareMasses[square] = root;
    return root;
}

// The mass of a neighbour that the square being scanned can join: one of
// its kind that holds a regular label; NoMass for any other.
uint16_t JoinableMass(int square, bool water) {
    const uint16_t entry = squareMasses[square];
    const bool candidate = (entry < GivenUpMass) & (IsWaterSquare(square) == water);
    const uint16_t root = RootOf(candidate ? entry : NothingMass);
    squareMasses[square] = candidate ? root : entry;
    return masses[root].givenUp ? NoMass : root;
}

// The label that a live root holds now.
uint8_t LabelOfRoot(uint16_t root, const KindLabels& kind) {
    Mass& mass = masses[root];
    if (kind.slots[mass.label].key != mass.key) {
        // Labels only move down, so the label lies below the one last seen;
        // any slot between them left free since holds a greater key.
        const auto found = std::lower_bound(kind.slots.begin(), kind.slots.begin() + mass.label, mass.key,
                                            [](const Slot& slot, uint32_t key) { return slot.key < key; });
        mass.label = static_cast<uint8_t>(found - kind.slots.begin());
    }
    return mass.label;
}

// The label that a square holds now, as if merges and give-ups had rewritten it.
uint8_t LabelOf(int square) {
    const uint16_t root = MassOf(square);
    if (root == NoMass) return NoLabel;
    if (root == GivenUpMass || masses[root].givenUp) return OverflowLabel;
    return LabelOfRoot(root, LabelsOf(IsWaterSquare(square)));
}

// A new mass, to hold label in kind; key orders it among the labels.
void StartMass(KindLabels& kind, uint8_t label, uint32_t key) {
    const auto index = static_cast<uint16_t>(masses.size());  // a square starts at most one
    masses.push_back({index, 0, key, label, false});
    kind.slots[label] = {index, key};
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

// Labels the squares of the band, then writes their labels into labels.
// Throws std::bad_alloc when a new mass cannot be recorded.
void Scan(const ScanBand& band, int columns) {
    for (int row = 1; row < band.lastRow; ++row) {
        const int above = (row - 1) * columns, here = row * columns;
        // The square scanned last, kept at hand: away from the seam it is the
        // west neighbour, and its mass is still a root.
        uint16_t lastMass = NoMass;
        bool lastWater = false;
        for (int column = band.firstColumn; column <= band.lastColumn; ++column) {
            currentSquare = static_cast<uint16_t>(here + column);
            const bool water = IsWaterSquare(currentSquare);
            KindLabels& kind = LabelsOf(water);
            // West, north-west, north and north-east. Columns always wrap
            // east-west, whether or not the map does.
            const int west = column == 0 ? columns - 1 : column - 1;
            const int east = column == columns - 1 ? 0 : column + 1;
            // The running label and the mass that holds it: two live masses
            // hold the same label exactly when they are the same.
            uint8_t running = NoLabel;
            uint16_t runningMass = NoMass;
            auto join = [&](uint16_t mass) {
                if (mass == NoMass || mass == runningMass) return;
                const uint8_t label = LabelOfRoot(mass, kind);
                running = runningMass == NoMass ? label : MergeMassLabels(label, running, water);
                runningMass = kind.slots[running].mass;
            };
            if (column == 0 || column == columns - 1) {
                // At the seam the neighbours are visited one by one: west,
                // north-west, north, north-east.
                join(JoinableMass(here + west, water));
                join(JoinableMass(above + west, water));
                join(JoinableMass(above + column, water));
                join(JoinableMass(above + east, water));
            } else if (const uint16_t north = JoinableMass(above + column, water); north != NoMass) {
                // Away from the seam the scan has already joined each of the
                // others to the north square, where it could: nothing to merge.
                join(north);
            } else {
                // Likewise the west square to the north-west one: only the
                // north-east one may still be apart.
                const uint16_t westMass = lastWater == water ? lastMass : NoMass;
                join(westMass != NoMass ? westMass : JoinableMass(above + west, water));
                join(JoinableMass(above + east, water));
            }
            if (running == NoLabel) {
                running = NewMassLabel(water);
                if (running < OverflowLabel) runningMass = kind.slots[running].mass;
            }
            if (running < OverflowLabel) {
                squareMasses[currentSquare] = runningMass;
                ++masses[runningMass].squares;
            } else {
                squareMasses[currentSquare] = running == OverflowLabel ? GivenUpMass : NoMass;
            }
            kind.AddToCounter(running);
            lastMass = runningMass;
            lastWater = water;
        }
    }

    for (int row = 1; row < band.lastRow; ++row)
        for (int column = band.firstColumn; column <= band.lastColumn; ++column)
            labels[row * columns + column] = LabelOf(row * columns + column);
}

}  // namespace

const std::vector<uint8_t>& massLabels() { return labels; }

void ReleaseMassBuffers() {
    std::vector<uint8_t>().swap(labels);
    std::vector<uint16_t>().swap(waterLabelSizes);
    std::vector<uint16_t>().swap(landLabelSizes);
    std::vector<uint16_t>().swap(squareMasses);
    std::vector<Mass>().swap(masses);
}

uint8_t MergeMassLabels(uint8_t neighbourLabel, uint8_t runningLabel, uint16_t isWater) {
    const uint8_t lo = std::min(neighbourLabel, runningLabel);
    const uint8_t hi = std::max(neighbourLabel, runningLabel);
    KindLabels& kind = LabelsOf(isWater);
    const uint16_t survivor = kind.slots[lo].mass, absorbed = kind.slots[hi].mass;
    masses[absorbed].parent = survivor;
    masses[survivor].squares = static_cast<uint16_t>(masses[survivor].squares + masses[absorbed].squares);
    // The labels in use above hi move down by one; the top one is left free.
    const int inUse = kind.LabelsInUse();
    std::copy(kind.slots.begin() + hi + 1, kind.slots.begin() + inUse, kind.slots.begin() + hi);
    kind.slots[inUse - 1] = {NoMass, kind.nextKey++};
    --*kind.count;
    // The absorbed label's tally is not added to the survivor's, and the
    // counter of label 253 stays behind as a copy.
    std::vector<uint16_t>& sizes = *kind.sizes;
    if (hi < 253) std::copy(sizes.begin() + hi + 1, sizes.begin() + 254, sizes.begin() + hi);
    kind.CountersChangedFrom(hi);
    return lo;
}

uint8_t NewMassLabel(uint16_t isWater) {
    KindLabels& kind = LabelsOf(isWater);
    int32_t& count = *kind.count;
    uint8_t label;
    if (count < CountLimit) {
        label = static_cast<uint8_t>(count);
        ++count;
        // The label lies above every label in use, and so does a new key.
        if (label < OverflowLabel) StartMass(kind, label, kind.nextKey++);
    } else {
        // Give up the smallest mass (the lowest label among equals) and reuse its label.
        const int smallest = kind.SmallestCounter();
        if (smallest < 0) return NoLabel;
        label = static_cast<uint8_t>(smallest);
        if (const uint16_t given = kind.slots[label].mass; given != NoMass) {
            masses[given].givenUp = true;
            uint16_t& givenUpSquares = (*kind.sizes)[OverflowLabel];
            givenUpSquares = static_cast<uint16_t>(givenUpSquares + masses[given].squares);
        }
        StartMass(kind, label, kind.slots[label].key);
    }
    kind.ResetCounter(label);
    return label;
}

uint16_t LabelMasses(const MapHeader& header) {
    ReleaseMassBuffers();
    // The grid is covered whole even when the header names fewer squares:
    // the missing squares read as code 0, as the terrain counts see them.
    const size_t gridSize = std::max<size_t>(header.squareCount, size_t{header.rows} * header.columns);
    const int32_t waterBefore = examineResults.waterMassCount, landBefore = examineResults.landMassCount;
    try {
        labels.assign(gridSize, NoLabel);
        waterLabelSizes.assign(256, 0);
        landLabelSizes.assign(256, 0);
        squareMasses.assign(gridSize, NoMass);
        masses.push_back({NothingMass, 0, 0, 0, true});
        examineResults.waterMassCount = 0;
        examineResults.landMassCount = 0;
        waterLabels.Reset(examineResults.waterMassCount, waterLabelSizes);
        landLabels.Reset(examineResults.landMassCount, landLabelSizes);
        Scan(BandOf(header), header.columns);
    } catch (const std::bad_alloc&) {
        // Masses are recorded as they come: a failure midway leaves the
        // counts as they were, as a failure before the scan does.
        ReleaseMassBuffers();
        examineResults.waterMassCount = waterBefore;
        examineResults.landMassCount = landBefore;
        return 1;
    }
    std::vector<uint16_t>().swap(landLabelSizes);
    std::vector<uint16_t>().swap(waterLabelSizes);
    std::vector<Mass>().swap(masses);
    std::vector<uint16_t>().swap(squareMasses);
    return 0;
}
