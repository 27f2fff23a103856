#include "analysis/mass_labelling.h"

#include <algorithm>
#include <array>
#include <memory>

#include "analysis/examine_results.h"
#include "analysis/terrain_class.h"

// The scan comes to the labels and counts of one that rewrites the squares
// scanned so far at every merge and every give-up, without rewriting them:
// each square records the mass it joined, and a merge points the absorbed
// mass to the survivor (a union-find forest). Each mass keeps the counter of
// its label. Until a kind's count first fills, its labels are the ranks of
// its live masses in the order they were started, so a merge needs no table.
// From then on give-ups need labels by place: the kind keeps a table of its
// 254 regular labels, each holding a mass. A merge leaves a gap where the
// absorbed mass was and adds an entry at the top, so that the others keep
// their order without moving; the gaps close before labels are needed by
// number. Merges and the rare work (a search, closing gaps, the first
// table) stay out of line, so that the scan's loop keeps its registers.

namespace {

constexpr uint16_t GiveUpLimit = 10000;  // a mass this large is never given up
constexpr int CountLimit = 255;
constexpr int RegularLabels = OverflowLabel;  // labels 0 to 253

// The first two masses stand for a square without a mass, so that a
// neighbour is looked up the same way whatever it holds.
constexpr uint16_t NoMass = 0;       // holds NoLabel
constexpr uint16_t GivenUpMass = 1;  // holds OverflowLabel; a given-up mass points to it
constexpr uint16_t FirstMass = 2;
constexpr uint8_t NoKind = 2;  // the kind of the two above, neither water (1) nor land (0)

struct Mass {
    uint16_t parent;   // itself for a live mass, the survivor for an absorbed one
    uint16_t squares;  // its label's counter: the squares counted under it
    uint16_t place;    // its entry in the kind's table; at the end, its label
    uint8_t water;
};

// A give-up looks for the smallest counter in blocks of this many labels;
// each block remembers its smallest until its labels move.
constexpr int CounterBlock = 16;
constexpr int CounterBlocks = (RegularLabels + CounterBlock - 1) / CounterBlock;

std::vector<uint8_t> labels;
std::vector<uint16_t> squareMasses;  // the mass each square joined, NoMass outside the band
// Every mass of the run in the order they were started, with room had
// before the scan for as many as it can start: one per scanned square.
std::unique_ptr<Mass[]> masses;
size_t massEnd;

// One kind's count, and its table of labels once the count has filled.
struct KindLabels {
    int32_t* count;  // the kind's mass count in examineResults
    uint8_t water;
    bool filled;  // the count has reached CountLimit in this run
    // The mass that holds each label, in order, with gaps (NoMass) that
    // merges left: always 254 entries besides the gaps. Labels not in use
    // hold an absorbed mass, whose counter is the one the label kept.
    std::array<uint16_t, 2 * RegularLabels> table;
    int tableEnd;
    std::array<uint8_t, CounterBlocks> blockSmallest;  // a label in the block
    std::array<uint16_t, CounterBlocks> blockLeast;    // its counter when found
    std::array<bool, CounterBlocks> blockKnown;
    // The last label given up and its counter then, while only new masses
    // in its place have changed the table since; -1 otherwise.
    int lastSmallest;
    uint16_t lastLeast;

    // Forgets what the searches found from label on, where labels moved.
    void TableChanged(int label = 0) {
        std::fill(blockKnown.begin() + label / CounterBlock, blockKnown.end(), false);
        lastSmallest = -1;
    }

    void Reset(int32_t& kindCount, uint8_t kindWater) { count = &kindCount; water = kindWater; filled = false; }

    uint16_t CounterOf(int label) const { return masses[table[label]].squares; }

    // Starts a mass at the square being scanned, under the next label or
    // the smallest mass's, given up. Returns it; GivenUpMass when label 254
    // is handed out as it is, so that the square joins the given-up ones at
    // once; NoMass when no label can be freed.
    uint16_t NewMass() {
        if (*count == OverflowLabel) {
            *count = CountLimit;
            if (!filled) TableFromRanks();  // from now on labels go by place
            filled = true;
            return GivenUpMass;
        }
        if (!filled) return ++*count, AddMass(0);
        if (*count < CountLimit) return CloseGaps(), StartMass((*count)++);
        // Counters only grow while the labels stay in place, and the others
        // were all larger then (or as large, further up).
        const bool lastStillSmallest = lastSmallest >= 0 && CounterOf(lastSmallest) <= lastLeast;
        const int label = lastStillSmallest ? lastSmallest : SmallestCounter();
        return label < 0 ? NoMass : StartMass(label);
    }

    // Adds a live mass of the kind with this place and returns it.
    uint16_t AddMass(int place) {
        const auto mass = static_cast<uint16_t>(massEnd++);
        masses[mass] = {mass, 0, static_cast<uint16_t>(place), water};
        return mass;
    }

    // Puts a new mass in the table under label; the mass that held it, if
    // live, is given up.
    uint16_t StartMass(int label) {
        if (const uint16_t held = table[label]; masses[held].parent == held) masses[held].parent = GivenUpMass;
        table[label] = AddMass(label);
        blockKnown[label / CounterBlock] = false;
        if (label != lastSmallest) lastSmallest = -1;
        return table[label];
    }

    // Puts the kind's live masses into the table in the order they were
    // started, which is their labels' order until the count first fills.
    [[gnu::noinline]] void TableFromRanks() {
        int label = 0;
        for (uint16_t mass = FirstMass; mass < massEnd; ++mass) {
            if (masses[mass].parent != mass || masses[mass].water != water) continue;
            masses[mass].place = static_cast<uint16_t>(label);
            table[label++] = mass;
        }
        tableEnd = label;
        TableChanged();
    }

    // Makes each live mass's place its label.
    void PlacesAsLabels() { filled ? CloseGaps() : TableFromRanks(); }

    // Closes the gaps, so that each entry's place is its label.
    void CloseGaps() {
        if (tableEnd != RegularLabels) MoveDownOverGaps();
    }
    [[gnu::noinline]] void MoveDownOverGaps() {
        const auto end = table.begin() + tableEnd;
        const auto firstGap = std::find(table.begin(), end, NoMass);
        tableEnd = static_cast<int>(std::remove(firstGap, end, NoMass) - table.begin());
        for (auto label = firstGap - table.begin(); label < tableEnd; ++label)
            masses[table[label]].place = static_cast<uint16_t>(label);
        TableChanged(static_cast<int>(firstGap - table.begin()));
    }

    // Merges two live masses by place: the one further up is absorbed, its
    // label taken out (the labels above move down), and the top label, now
    // free, keeps its counter, in the absorbed mass. Returns the survivor.
    [[gnu::noinline]] uint16_t MergeByPlace(uint16_t survivor, uint16_t absorbed) {
        if (masses[survivor].place > masses[absorbed].place) std::swap(survivor, absorbed);
        const uint16_t topCounter = CounterOf(tableEnd - 1);
        table[masses[absorbed].place] = NoMass;
        if (tableEnd == static_cast<int>(table.size())) MoveDownOverGaps();
        masses[absorbed] = {survivor, topCounter, static_cast<uint16_t>(tableEnd), water};
        table[tableEnd++] = absorbed;
        lastSmallest = -1;
        return survivor;
    }

    // Finds the first smallest counter of a block, unless the one found last
    // still holds what it held.
    void FindBlockSmallest(int block) {
        if (blockKnown[block] && CounterOf(blockSmallest[block]) == blockLeast[block]) return;
        const auto first = table.begin() + block * CounterBlock;
        const auto end = first + std::min(CounterBlock, RegularLabels - block * CounterBlock);
        const auto smallest = std::min_element(first, end, [](uint16_t a, uint16_t b) {
            return masses[a].squares < masses[b].squares;
        });
        blockSmallest[block] = static_cast<uint8_t>(smallest - table.begin());
        blockLeast[block] = masses[*smallest].squares;
        blockKnown[block] = true;
    }

    // The label whose counter is the smallest below GiveUpLimit, the lowest
    // among equals; -1 when there is none.
    [[gnu::noinline]] int SmallestCounter() {
        CloseGaps();
        int smallest = -1;
        uint16_t least = GiveUpLimit;
        for (int block = 0; block < CounterBlocks; ++block) {
            // So a block's last smallest is a floor for it.
            if (blockKnown[block] && blockLeast[block] >= least) continue;
            FindBlockSmallest(block);
            if (blockLeast[block] < least) {
                smallest = blockSmallest[block];
                least = blockLeast[block];
            }
        }
        lastSmallest = smallest;
        lastLeast = least;
        return smallest;
    }
};

std::array<KindLabels, 2> kinds;  // land, water

constexpr std::array<uint8_t, 256> WaterCodes = [] {
    std::array<uint8_t, 256> water{};
    for (int code = 0; code < 256; ++code) water[code] = IsWaterCode(static_cast<uint8_t>(code));
    return water;
}();

KindLabels& LabelsOf(uint16_t isWater) { return kinds[isWater != 0]; }

// The live mass that mass is part of, or NoMass or GivenUpMass.
uint16_t RootOf(uint16_t mass) {
    while (masses[mass].parent != mass) {
        masses[mass].parent = masses[masses[mass].parent].parent;  // halves the path
        mass = masses[mass].parent;
    }
    return mass;
}

// The mass that a square of the given kind joins through a scanned
// neighbour with this entry: a live one of its kind; NoMass for any other.
uint16_t JoinableMass(uint16_t entry, uint8_t water) {
    if (masses[entry].water != water) return NoMass;
    const uint16_t root = RootOf(entry);
    return root >= FirstMass ? root : NoMass;
}

// Merges two different live masses of one kind; returns the one that holds
// the smaller label: the older one until the kind's count first fills.
[[gnu::noinline]] uint16_t MergeMasses(uint16_t running, uint16_t neighbour, uint8_t water) {
    KindLabels& kind = LabelsOf(water);
    --*kind.count;
    if (kind.filled) return kind.MergeByPlace(running, neighbour);
    masses[std::max(running, neighbour)].parent = std::min(running, neighbour);
    return std::min(running, neighbour);
}

// Joins a neighbour's mass to the running one; either may be NoMass.
uint16_t JoinMasses(uint16_t running, uint16_t neighbour, uint8_t water) {
    if (neighbour == NoMass || neighbour == running) return running;
    return running == NoMass ? neighbour : MergeMasses(running, neighbour, water);
}

// Records a square's mass in its entry and counts the square under it.
void Label(uint16_t& entry, uint16_t mass) {
    entry = mass;
    ++masses[mass].squares;
}

// Labels a square whatever its column: its neighbours west, north-west,
// north and north-east are joined one by one. Columns always wrap east-west,
// whether or not the map does.
void LabelSquare(int row, int column, int columns) {
    const int here = row * columns, above = here - columns;
    const int west = column == 0 ? columns - 1 : column - 1;
    const int east = column == columns - 1 ? 0 : column + 1;
    const uint8_t water = WaterCodes[mapSquares[here + column]];
    uint16_t mass = NoMass;
    for (const int neighbour : {here + west, above + west, above + column, above + east})
        mass = JoinMasses(mass, JoinableMass(squareMasses[neighbour], water), water);
    Label(squareMasses[here + column], mass != NoMass ? mass : LabelsOf(water).NewMass());
}

// Labels the squares from first to last of a row, none of them at the seam.
// The squares scanned before have joined what they touch: a joinable west
// square carries the north-west one and a joinable north one with it, so
// only the north-east one can bring another mass; a joinable north square
// carries the north-west and north-east ones.
void LabelInnerSquares(int row, int first, int last, int columns) {
    const uint8_t* const codes = mapSquares.data() + row * columns;
    uint16_t* const entries = squareMasses.data() + row * columns;
    const uint16_t* const entriesAbove = entries - columns;
    if (first > last) return;
    // The west square's mass, live or of no kind; nothing has merged since.
    uint16_t west = RootOf(entries[first - 1]);
    for (int column = first; column <= last; ++column) {
        const uint8_t water = WaterCodes[codes[column]];
        uint16_t mass = masses[west].water == water ? west : NoMass;
        if (mass != NoMass) {
            // A north-east square recorded under this very mass needs no look.
            if (entriesAbove[column + 1] != mass)
                mass = JoinMasses(mass, JoinableMass(entriesAbove[column + 1], water), water);
        } else if ((mass = JoinableMass(entriesAbove[column], water)) == NoMass) {
            mass = JoinMasses(JoinableMass(entriesAbove[column - 1], water),
                              JoinableMass(entriesAbove[column + 1], water), water);
            if (mass == NoMass) mass = LabelsOf(water).NewMass();
        }
        Label(entries[column], mass);
        west = mass;
    }
}

// Labels the squares of the band, row by row, of a map of columns columns.
void Scan(const ScanBand& band, int columns) {
    const int first = band.firstColumn, last = band.lastColumn;
    for (int row = band.firstRow; row <= band.lastRow; ++row) {
        if (first == 0 && last >= 0) LabelSquare(row, 0, columns);
        LabelInnerSquares(row, std::max(first, 1), std::min(last, columns - 2), columns);
        if (last == columns - 1 && last > 0 && last >= first) LabelSquare(row, last, columns);
    }
}

// Settles each mass's label, then writes every scanned square's.
void WriteLabels() {
    masses[NoMass].place = NoLabel;
    masses[GivenUpMass].place = OverflowLabel;
    for (KindLabels& kind : kinds) kind.PlacesAsLabels();
    for (size_t mass = FirstMass; mass < massEnd; ++mass)
        masses[mass].place = masses[RootOf(static_cast<uint16_t>(mass))].place;
    const Mass* const settled = masses.get();
    uint8_t* label = labels.data();
    for (const uint16_t mass : squareMasses) *label++ = static_cast<uint8_t>(settled[mass].place);
}

}  // namespace

const std::vector<uint8_t>& massLabels() { return labels; }

void ReleaseMassBuffers() {
    std::vector<uint8_t>().swap(labels);
    std::vector<uint16_t>().swap(squareMasses);
    masses.reset();
}

uint8_t MergeMassLabels(uint8_t neighbourLabel, uint8_t runningLabel, uint16_t isWater) {
    KindLabels& kind = LabelsOf(isWater);
    kind.PlacesAsLabels();
    MergeMasses(kind.table[runningLabel], kind.table[neighbourLabel], kind.water);
    return std::min(neighbourLabel, runningLabel);
}

uint8_t NewMassLabel(uint16_t isWater) {
    KindLabels& kind = LabelsOf(isWater);
    const uint16_t mass = kind.NewMass();
    if (mass < FirstMass) return mass == NoMass ? NoLabel : OverflowLabel;
    return static_cast<uint8_t>(kind.filled ? masses[mass].place : *kind.count - 1);
}

void LabelMasses(const MapHeader& header) {
    ReleaseMassBuffers();
    // Whatever a run that fails to get its memory obtained goes with it.
    struct Holding {
        bool scanning = false;
        ~Holding() {
            if (!scanning) ReleaseMassBuffers();
        }
    } holding;
    // The grid is covered whole even when the header names fewer squares:
    // the missing squares read as code 0, as the terrain counts see them.
    const size_t gridSize = std::max<size_t>(header.squareCount, size_t{header.rows} * header.columns);
    const ScanBand band = ScanBandOf(header);
    labels.assign(gridSize, NoLabel);
    squareMasses.assign(gridSize, NoMass);
    // A scanned square starts at most one mass: with all its memory had
    // before the counts are touched, a run that cannot have it leaves them.
    masses = std::make_unique_for_overwrite<Mass[]>(FirstMass + band.SquareCount());
    masses[NoMass] = {NoMass, 0, 0, NoKind};
    masses[GivenUpMass] = {GivenUpMass, 0, 0, NoKind};
    massEnd = FirstMass;
    holding.scanning = true;

    examineResults.waterMassCount = 0;
    examineResults.landMassCount = 0;
    kinds[0].Reset(examineResults.landMassCount, 0);
    kinds[1].Reset(examineResults.waterMassCount, 1);
    Scan(band, header.columns);
    WriteLabels();
    masses.reset();
    std::vector<uint16_t>().swap(squareMasses);
}
