#include "analysis/mass_labelling.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "analysis/examine_results.h"
#include "analysis/terrain_class.h"

// The scan comes to the labels and counts of one that rewrites the squares
// scanned so far at every merge and every give-up, without rewriting them:
// each square records the mass it joined, and a merge points the younger
// mass to the older (a union-find forest), which holds the survivor's label
// from then on. Each mass keeps the counter of
// its label. Until a kind's count first fills, its labels are the ranks of
// its live masses in the order they were started, so a merge needs no table,
// and nothing reads the counters, so none are kept. From then on give-ups
// need labels by place: the kind keeps a table of its 254 regular labels,
// each holding a mass. A merge leaves a gap where the absorbed mass was and
// adds an entry at the top, so that the others keep their order without
// moving; the gaps close before labels are needed by number.
//
// Each row is labelled square by square, or, where most of its squares go
// on their own, kind by kind: a square below a live one of its kind takes
// that mass, copied from the row above while the kind has lost none since,
// or looked up once for a stretch of such squares with none of the kind to
// the west; a square with no neighbour of its kind starts a mass, and a run
// of those with the count full gives up each mass to the next at once. The
// labels are written in one pass at the end, from each mass's settled label,
// each root settled before the younger masses that point to it.

namespace {

constexpr uint16_t GiveUpLimit = 10000;  // a mass this large is never given up
constexpr int CountLimit = 255;
constexpr int RegularLabels = OverflowLabel;  // labels 0 to 253

// The first two masses stand for a square without a mass, so that a
// neighbour is looked up the same way whatever it holds.
constexpr uint16_t NoMass = 0;       // holds NoLabel
constexpr uint16_t GivenUpMass = 1;  // holds OverflowLabel; a given-up mass points to it
constexpr uint16_t FirstMass = 2;
constexpr uint8_t NoKind = 2;  // the kind of the two above, and of a square not scanned

struct Mass {
    uint16_t parent;   // itself for a live mass; for an absorbed one, an older mass of its set
    uint16_t squares;  // its label's counter: the squares counted under it
    uint16_t place;    // its entry in the kind's table; at the end, its label
    uint8_t water;
};

// A give-up looks for the smallest counter in blocks of this many labels;
// each block remembers its smallest until its labels move.
constexpr int CounterBlock = 16;
constexpr int CounterBlocks = (RegularLabels + CounterBlock - 1) / CounterBlock;

std::vector<uint8_t> labels;
// The mass each scanned square joined, written before it is read.
std::unique_ptr<uint16_t[]> squareMasses;
// Every mass of the run in the order they were started, with room had
// before the scan for as many as it can start: one per scanned square.
std::unique_ptr<Mass[]> masses;
size_t massEnd;

// The squares scanned, and the one being labelled when a mass is started.
ScanBand scanBand;
int scanColumns;
int currentSquare;

// Counts the squares that each mass of a kind holds so far, for a kind
// whose count fills for the first time: until then nothing reads its
// counters, so the scan does not keep them. A square counts under the mass
// it recorded, and records are never rewritten; those of the row being
// labelled are read for the kind's squares alone, the others may not be
// written yet.
[[gnu::noinline]] void CountSquaresOf(uint8_t water) {
    for (size_t mass = FirstMass; mass < massEnd; ++mass)
        if (masses[mass].water == water) masses[mass].squares = 0;
    const int first = scanBand.firstColumn, last = scanBand.lastColumn;
    for (int row = scanBand.firstRow; row * scanColumns + first < currentSquare; ++row) {
        const int end = std::min(row * scanColumns + last + 1, currentSquare);
        for (int square = row * scanColumns + first; square < end; ++square)
            if (IsWaterCode(mapSquares[square]) == (water != 0)) ++masses[squareMasses[square]].squares;
    }
}

// One kind's count, and its table of labels once the count has filled.
struct KindLabels {
    int32_t count;  // the kind's mass count, and the next label while it is below CountLimit
    uint8_t water;
    bool filled;  // the count has reached CountLimit in this run, and counters are kept
    // How often a live mass has stopped being one, merged or given up.
    uint32_t rootsLost;
    // The mass that holds each label, in order, with gaps (NoMass) that
    // merges left: always 254 entries besides the gaps. Labels not in use
    // hold an absorbed mass, whose counter is the one the label kept.
    std::array<uint16_t, 2 * RegularLabels> table;
    int tableEnd;
    std::array<uint8_t, CounterBlocks> blockSmallest;  // a label in the block
    std::array<uint16_t, CounterBlocks> blockLeast;    // its counter when found
    std::array<bool, CounterBlocks> blockKnown;
    // The last label given up, the mass started under it and its counter
    // then, while only new masses in its place have changed the table
    // since; -1 otherwise.
    int lastSmallest;
    uint16_t lastMass;
    uint16_t lastLeast;

    // Forgets what the searches found from label on, where labels moved.
    void TableChanged(int label = 0) {
        std::fill(blockKnown.begin() + label / CounterBlock, blockKnown.end(), false);
        lastSmallest = -1;
    }

    void Reset(uint8_t kindWater) {
        count = 0;
        water = kindWater;
        filled = false;
        rootsLost = 0;
    }

    uint16_t CounterOf(int label) const { return masses[table[label]].squares; }

    // Starts a mass at the square being scanned, under the next label or
    // the smallest mass's, given up. Returns it; GivenUpMass when label 254
    // is handed out as it is, so that the square joins the given-up ones at
    // once; NoMass when no label can be freed.
    uint16_t NewMass() {
        if (!filled && count < OverflowLabel) [[likely]]
            return ++count, AddMass(0);
        // Counters only grow while the labels stay in place, and the others
        // were all larger then (or as large, further up): the mass that took
        // the last label given up is given up in its turn.
        if (count == CountLimit && lastSmallest >= 0 && masses[lastMass].squares <= lastLeast) {
            masses[lastMass].parent = GivenUpMass;
            ++rootsLost;
            lastMass = AddMass(lastSmallest);
            table[lastSmallest] = lastMass;
            blockKnown[lastSmallest / CounterBlock] = false;
            return lastMass;
        }
        return NewMassByPlace();
    }
    // Starts a mass at each square of a row whose bit is set in lone, a word
    // of the row from column base on: squares with no neighbour of their
    // kind, labelled one after another with nothing else of the kind
    // between. Records each one's mass in entries, and counts it once the
    // kind keeps counters; returns whether one found no mass.
    [[gnu::noinline]] bool StartLoneMasses(uint16_t* entries, int base, uint64_t lone, int rowStart) {
        Mass* const all = masses.get();
        bool foundNone = false;
        while (lone != 0) {
            if (count == CountLimit && lastSmallest >= 0 && lastLeast >= 1 && all[lastMass].squares <= lastLeast) {
                // Each lone square's mass, counted once, is the smallest
                // still when the next one comes, and given up to it: all but
                // the last record the given-up masses' mass at once.
                all[lastMass].parent = GivenUpMass;
                ++rootsLost;
                foundNone |= (lone & (lone - 1)) != 0;
                for (; (lone & (lone - 1)) != 0; lone &= lone - 1) entries[base + std::countr_zero(lone)] = GivenUpMass;
                const uint16_t mass = lastMass = AddMass(lastSmallest);
                table[lastSmallest] = mass;
                blockKnown[static_cast<unsigned>(lastSmallest) / CounterBlock] = false;
                entries[base + std::countr_zero(lone)] = mass;
                ++all[mass].squares;
                return foundNone;
            }
            // Until the label before 254, each takes the next label. The
            // loops keep the kind's figures in locals: a write through a
            // Mass could change them, as far as the compiler knows.
            const uint8_t kind = water;
            size_t end = massEnd;
            int next = count;
            if (!filled && next < OverflowLabel) {
                // Counters are not kept yet.
                for (; lone != 0 && next < OverflowLabel; lone &= lone - 1, ++next) {
                    const auto mass = static_cast<uint16_t>(end++);
                    all[mass] = {mass, 0, 0, kind};
                    entries[base + std::countr_zero(lone)] = mass;
                }
                massEnd = end, count = next;
                continue;
            }
            if (filled && next < OverflowLabel && tableEnd == RegularLabels) {
                // Labels from the count on hold absorbed masses: each new
                // mass takes the next one, counted once. This is StartMass
                // for each square, with the figures in locals; a change to
                // one goes to the other.
                const int firstLabel = next;
                uint32_t lost = rootsLost;
                for (; lone != 0 && next < OverflowLabel; lone &= lone - 1, ++next) {
                    if (const uint16_t held = table[next]; all[held].parent == held)
                        all[held].parent = GivenUpMass, ++lost;
                    const auto mass = static_cast<uint16_t>(end++);
                    all[mass] = {mass, 1, static_cast<uint16_t>(next), kind};
                    table[next] = mass;
                    entries[base + std::countr_zero(lone)] = mass;
                }
                const auto blocks = blockKnown.begin();
                std::fill(blocks + firstLabel / CounterBlock, blocks + (next - 1) / CounterBlock + 1, false);
                if (next - firstLabel != 1 || firstLabel != lastSmallest) lastSmallest = -1;
                lastMass = static_cast<uint16_t>(end - 1);
                massEnd = end, count = next, rootsLost = lost;
                continue;
            }
            const int column = base + std::countr_zero(lone);
            currentSquare = rowStart + column;
            const uint16_t mass = NewMassByPlace();
            foundNone |= mass < FirstMass;
            entries[column] = mass;
            if (filled) ++all[mass].squares;
            lone &= lone - 1;
        }
        return foundNone;
    }

    [[gnu::noinline]] uint16_t NewMassByPlace() {
        if (count == OverflowLabel) {
            count = CountLimit;
            if (!filled) CountSquaresOf(water), TableFromRanks();  // from now on labels go by place
            filled = true;
            return GivenUpMass;
        }
        if (count < CountLimit) return CloseGaps(), StartMass(count++);
        const int label = SmallestCounter();
        if (label < 0) return NoMass;
        lastSmallest = label;
        return StartMass(label);
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
        if (const uint16_t held = table[label]; masses[held].parent == held) {
            masses[held].parent = GivenUpMass;
            ++rootsLost;
        }
        table[label] = AddMass(label);
        blockKnown[label / CounterBlock] = false;
        if (label != lastSmallest) lastSmallest = -1;
        return lastMass = table[label];
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
    // free, keeps its counter, in the absorbed mass. Returns the survivor,
    // always the older of the two, so that every mass's root is older than
    // itself: a younger survivor's place and counter move to the older.
    [[gnu::noinline]] uint16_t MergeByPlace(uint16_t survivor, uint16_t absorbed) {
        if (masses[survivor].place > masses[absorbed].place) std::swap(survivor, absorbed);
        const uint16_t topCounter = CounterOf(tableEnd - 1);
        table[masses[absorbed].place] = NoMass;
        if (tableEnd == static_cast<int>(table.size())) MoveDownOverGaps();
        if (absorbed < survivor) {
            // Field by field: a whole Mass read just after a counter was
            // added to would wait for that write.
            const uint16_t place = masses[survivor].place, squares = masses[survivor].squares;
            masses[absorbed] = {absorbed, squares, place, water};
            table[place] = absorbed;
            std::swap(survivor, absorbed);
        }
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

bool IsLive(uint16_t mass) { return mass >= FirstMass; }

// The live mass that mass is part of, or NoMass or GivenUpMass.
uint16_t RootOf(uint16_t mass) {
    while (masses[mass].parent != mass) {
        masses[mass].parent = masses[masses[mass].parent].parent;  // halves the path
        mass = masses[mass].parent;
    }
    return mass;
}

// The live mass that a square joined, or NoMass.
uint16_t LiveRoot(uint16_t entry) {
    const uint16_t root = RootOf(entry);
    return IsLive(root) ? root : NoMass;
}

// Merges two different live masses of a kind; returns the older, which
// holds the smaller label from then on.
uint16_t MergeMasses(uint16_t running, uint16_t neighbour, uint8_t water) {
    KindLabels& kind = kinds[water];
    --kind.count;
    ++kind.rootsLost;
    if (kind.filled) [[unlikely]]
        return kind.MergeByPlace(running, neighbour);
    masses[std::max(running, neighbour)].parent = std::min(running, neighbour);
    return std::min(running, neighbour);
}

// Joins a neighbour's mass to the running one; either may be NoMass.
uint16_t JoinMasses(uint16_t running, uint16_t neighbour, uint8_t water) {
    if (neighbour == NoMass || neighbour == running) return running;
    return running == NoMass ? neighbour : MergeMasses(running, neighbour, water);
}

// Water codes are the ones from FirstWaterCode on, WaterCodeCount of them,
// which a loop over a row tests without a table.
constexpr uint8_t FirstWaterCode = 2, WaterCodeCount = 32;
static_assert([] {
    for (int code = 0; code < 256; ++code)
        if (IsWaterCode(static_cast<uint8_t>(code)) != (static_cast<uint8_t>(code - FirstWaterCode) < WaterCodeCount))
            return false;
    return true;
}());

// A row of the grid as bits, one per column.
constexpr int RowWords = 4;
constexpr int RowBitCount = 64 * RowWords;
using RowBits = std::array<uint64_t, RowWords>;

// A scanned row is at most the 254th of 255 columns: the sixteen codes read
// from its last lie in the store.
static_assert(MapSquaresSize >= 253 * 255 + RowBitCount);

RowBits operator&(RowBits a, const RowBits& b) {
    for (int word = 0; word < RowWords; ++word) a[word] &= b[word];
    return a;
}

RowBits operator~(RowBits a) {
    for (uint64_t& word : a) word = ~word;
    return a;
}

// Writes the kind of each square from first to last of a row whose codes
// start at rowCodes into kinds, 1 for water and 0 for land, and returns the
// water squares among them as bits: sixteen codes at a time where the
// processor has SSE2, eight at a time in a word otherwise.
RowBits KindsOfRow(const uint8_t* rowCodes, int first, int last, uint8_t* kinds) {
    RowBits water{};
#ifdef __SSE2__
    const __m128i firstWater = _mm_set1_epi8(FirstWaterCode), lastOffset = _mm_set1_epi8(WaterCodeCount - 1);
    for (int column = first / 16 * 16; column <= last; column += 16) {
        // code - 2, wrapping, is at most 31 for water.
        const __m128i codes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowCodes + column));
        const __m128i offset = _mm_sub_epi8(codes, firstWater);
        const __m128i isWater = _mm_cmpeq_epi8(_mm_min_epu8(offset, lastOffset), offset);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(kinds + column), _mm_and_si128(isWater, _mm_set1_epi8(1)));
        water[column / 64] |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(isWater))} << (column % 64);
    }
    // Squares outside the band keep NoKind.
    std::fill(kinds + first / 16 * 16, kinds + first, NoKind);
    std::fill(kinds + last + 1, kinds + std::min(RowBitCount, (last / 16 + 1) * 16), NoKind);
#else
    constexpr uint64_t Ones = 0x0101010101010101, High = 0x80 * Ones;
    for (int column = first; column <= last; ++column)
        kinds[column] = static_cast<uint8_t>(rowCodes[column] - FirstWaterCode) < WaterCodeCount;
    for (int column = first / 8 * 8; column <= last; column += 8) {
        uint64_t codes = 0;
        if constexpr (std::endian::native == std::endian::little)
            std::memcpy(&codes, rowCodes + column, sizeof codes);
        else
            for (int k = 0; k < 8; ++k) codes |= uint64_t{rowCodes[column + k]} << (8 * k);
        // In each byte, without carries between bytes: code - 2, then whether that is 32 or more.
        const uint64_t offset = ((codes | High) - FirstWaterCode * Ones) ^ (~codes & High);
        const uint64_t land = (((offset & ~High) + (0x80 - WaterCodeCount) * Ones) | offset) & High;
        // The bytes' top bits gathered into eight bits, the first code's lowest.
        const uint64_t gathered = (((land ^ High) >> 7) * 0x0102040810204080) >> 56;
        water[column / 64] |= gathered << (column % 64);
    }
#endif
    return water;
}

// What the scan of a row leaves for the next besides the masses its squares
// recorded: which are water, and whether any square of a kind recorded no
// live mass. Two rows are kept.
struct RowSeen {
    RowBits water;
    std::array<bool, 2> recordedNone;
};
std::array<RowSeen, 2> seenRows;

// The kind of each square of a row (1 water, 0 land) and NoKind for one not
// scanned, so that a neighbour of the other kind or none is passed over
// without a look at its mass. Two rows are kept: the one being labelled and
// the one above it.
std::array<std::array<uint8_t, 256>, 2> rowKinds;

// For each kind, how often a live mass had stopped being one when the row
// above the one being labelled began: until that changes, each mass that
// the row above recorded is still what it was then, a live root or none.
std::array<uint32_t, 2> rootsLostBeforeRowAbove;

// What a kind's square in the row being labelled can take from the row
// above as recorded: whether those records still hold, and whether counters
// are kept. Only merges and new masses change either.
struct KindState {
    bool recordsHold;
    bool counted;
};
bool RecordsAboveHold(uint8_t water) { return kinds[water].rootsLost == rootsLostBeforeRowAbove[water]; }
KindState StateOf(uint8_t water) {
    return {kinds[water].rootsLost == rootsLostBeforeRowAbove[water], kinds[water].filled};
}

// The live mass that a scanned square of the kind in the row above joined.
uint16_t MassAbove(uint16_t entry, const KindState& kind) {
    if (kind.recordsHold) return IsLive(entry) ? entry : NoMass;
    return LiveRoot(entry);
}

// Labels a square whatever its column: its neighbours west, north-west,
// north and north-east are joined one by one. Columns always wrap east-west,
// whether or not the map does.
void LabelSquare(int row, int column, int columns, const uint8_t* kindsHere, const uint8_t* kindsAbove) {
    uint16_t* const entries = squareMasses.get() + row * columns;
    const uint16_t* const entriesAbove = entries - columns;
    const int west = column == 0 ? columns - 1 : column - 1;
    const int east = column == columns - 1 ? 0 : column + 1;
    const uint8_t water = kindsHere[column];
    uint16_t mass = NoMass;
    // The west square across the seam is not labelled yet.
    if (column != 0 && kindsHere[west] == water) mass = LiveRoot(entries[west]);
    for (const int above : {west, column, east})
        if (kindsAbove[above] == water) mass = JoinMasses(mass, MassAbove(entriesAbove[above], StateOf(water)), water);
    if (mass == NoMass) currentSquare = row * columns + column, mass = kinds[water].NewMass();
    if (!IsLive(mass)) seenRows[row % 2].recordedNone[water] = true;
    entries[column] = mass;
    ++masses[mass].squares;
}

// Labels the squares from first to last of a row, none of them at the seam.
// The squares scanned before have joined what they touch: a joinable west
// square carries the north-west one and a joinable north one with it, so
// only the north-east one can bring another mass; a joinable north square
// carries the north-west and north-east ones.
void LabelInnerSquares(int row, int first, int last, int columns, const uint8_t* kindsHere,
                       const uint8_t* kindsAbove) {
    if (first > last) return;
    uint16_t* const entries = squareMasses.get() + row * columns;
    const uint16_t* const entriesAbove = entries - columns;
    // The west square's mass while it is live, and its kind then (NoKind
    // otherwise: nothing joins it); nothing has merged since.
    uint16_t west = kindsHere[first - 1] == NoKind ? NoMass : RootOf(entries[first - 1]);
    uint8_t westKind = IsLive(west) ? kindsHere[first - 1] : NoKind;
    // Squares labelled with west but not counted under it yet: counters are
    // read only by merges and new masses, so they are brought up to date
    // just before those.
    uint16_t uncounted = 0;
    std::array<KindState, 2> state = {StateOf(0), StateOf(1)};
    bool westCounted = IsLive(west) && state[westKind].counted;
    auto countUncounted = [&] {
        if (westCounted) masses[west].squares = static_cast<uint16_t>(masses[west].squares + uncounted);
        uncounted = 0;
    };
    for (int column = first; column <= last; ++column) {
        const uint8_t water = kindsHere[column];
        const KindState& kind = state[water];
        uint16_t mass = west;
        if (water == westKind) [[likely]] {
            // A north-east square recorded under this very mass needs no look.
            if (kindsAbove[column + 1] == water && entriesAbove[column + 1] != mass) [[unlikely]] {
                const uint16_t northEast = MassAbove(entriesAbove[column + 1], kind);
                if (northEast != NoMass && northEast != mass) {
                    countUncounted();
                    mass = MergeMasses(mass, northEast, water);
                    state[water].recordsHold = false;  // a mass was lost; counters are kept as before
                }
            }
        } else {
            mass = kindsAbove[column] == water ? MassAbove(entriesAbove[column], kind) : NoMass;
            if (mass == NoMass) {
                countUncounted();
                if (kindsAbove[column - 1] == water) mass = MassAbove(entriesAbove[column - 1], kind);
                if (kindsAbove[column + 1] == water)
                    mass = JoinMasses(mass, MassAbove(entriesAbove[column + 1], kind), water);
                if (mass == NoMass) currentSquare = row * columns + column, mass = kinds[water].NewMass();
                if (!IsLive(mass)) seenRows[row % 2].recordedNone[water] = true;
                state[water] = StateOf(water);
            }
        }
        entries[column] = mass;
        if (mass != west) [[unlikely]] {
            countUncounted();
            west = mass;
            westKind = IsLive(mass) ? water : NoKind;
            westCounted = IsLive(mass) && state[water].counted;
        }
        ++uncounted;
    }
    countUncounted();
}

// The bits of a row moved one column east (each square gets its west
// neighbour's bit) or west (its east neighbour's).
RowBits WestBits(const RowBits& bits) {
    RowBits moved;
    for (int word = 0; word < RowWords; ++word) moved[word] = bits[word] << 1 | (word > 0 ? bits[word - 1] >> 63 : 0);
    return moved;
}
RowBits EastBits(const RowBits& bits) {
    RowBits moved;
    for (int word = 0; word < RowWords; ++word)
        moved[word] = bits[word] >> 1 | (word + 1 < RowWords ? bits[word + 1] << 63 : 0);
    return moved;
}

// Labels the squares of one kind from first to last of a row, none at the
// seam, after the seam's first square and before its last. The kinds share
// nothing (masses, counts, labels, counters), so each goes through the row
// on its own, in order.
//
// The squares scanned before have joined what they touch. A live west
// neighbour carries the north-west and north ones, so only the north-east
// one can bring another mass: the rest of the run is taken at once, looked
// at only where a north-east neighbour is of its kind. A live north
// neighbour carries the west, north-west and north-east ones: the square
// takes its mass; while the kind has lost no mass since the row above began
// and keeps no counters, that is the mass that the row above recorded,
// copied (with copied, already in place). A square with neither joins its
// diagonals, or starts a mass, and lone squares start theirs together.
template <uint8_t Water>
void LabelKindOfRow(int row, int columns, int first, int last, const RowBits& mine, const RowBits& above,
                    bool copied) {
    uint16_t* const entries = squareMasses.get() + row * columns;
    const uint16_t* const entriesAbove = entries - columns;
    KindState kind = StateOf(Water);
    // Squares counted under one mass, added to its counter before anything
    // reads counters or another mass is counted.
    uint16_t counting = NoMass, uncounted = 0;
    auto flush = [&] {
        masses[counting].squares = static_cast<uint16_t>(masses[counting].squares + uncounted);
        uncounted = 0;
    };
    auto count = [&](uint16_t mass, int squares) {
        if (mass != counting) flush(), counting = mass;
        uncounted = static_cast<uint16_t>(uncounted + squares);
    };
    const RowBits westOfMine = WestBits(mine), westAbove = WestBits(above), eastAbove = EastBits(above);
    for (int word = first / 64; word <= last / 64; ++word) {
        const uint64_t north = mine[word] & above[word], west = mine[word] & westOfMine[word];
        const uint64_t northWest = westAbove[word], northEast = eastAbove[word];
        uint64_t inside = ~uint64_t{0};
        if (word == first / 64) inside &= ~uint64_t{0} << (first % 64);
        if (word == last / 64) inside &= ~uint64_t{0} >> (63 - last % 64);
        uint64_t todo = (copied ? mine[word] & ~north : mine[word]) & inside;
        const uint64_t lone = mine[word] & ~north & ~west & ~northWest & ~northEast;
        // Squares below one of their kind with none of it to the west, and
        // those among them whose square above holds no live mass.
        const uint64_t belowOnly = north & ~west;
        uint64_t lookAround = 0;
        while (todo != 0) {
            const int bit = std::countr_zero(todo), column = word * 64 + bit;
            const uint64_t at = uint64_t{1} << bit;
            // Such squares up to the next one that is not, in one go: each
            // takes the mass above, which carries its other neighbours above,
            // so nothing merges among them.
            if (belowOnly & at & ~lookAround) {
                const uint64_t others = todo & ~belowOnly;
                uint64_t stretch = todo & (others == 0 ? ~uint64_t{0} : (others & -others) - 1);
                uint16_t entry = entriesAbove[column], mass = MassAbove(entry, kind);
                for (; stretch != 0; stretch &= stretch - 1) {
                    const int square = word * 64 + std::countr_zero(stretch);
                    if (entriesAbove[square] != entry) entry = entriesAbove[square], mass = MassAbove(entry, kind);
                    if (mass == NoMass) {
                        lookAround = stretch & -stretch;
                        break;
                    }
                    entries[square] = mass;
                    if (kind.counted) count(mass, 1);
                    todo &= todo - 1;
                }
                continue;
            }
            // Lone squares up to the next one that is not, or that is copied,
            // in one go.
            if (lone & at) {
                flush();
                const uint64_t others = (todo & ~lone) | (copied ? north & ~(at - 1) : 0);
                const uint64_t upTo = others == 0 ? ~uint64_t{0} : (others & -others) - 1;
                if (kinds[Water].StartLoneMasses(entries, word * 64, todo & lone & upTo, row * columns))
                    seenRows[row % 2].recordedNone[Water] = true;
                todo &= ~upTo;
                kind = StateOf(Water);
                continue;
            }
            todo &= todo - 1;
            uint16_t mass = west & at ? entries[column - 1] : NoMass;
            if (IsLive(mass)) {
                // The rest of the run in this word carries the west square's
                // mass, and only north-east neighbours can bring another.
                const int length = std::countr_one(mine[word] >> bit);
                const uint64_t run = (length == 64 ? ~uint64_t{0} : ((uint64_t{1} << length) - 1) << bit) & inside;
                const int end = word * 64 + 63 - std::countl_zero(run);
                int from = column;
                for (uint64_t looks = run & northEast; looks != 0; looks &= looks - 1) {
                    const int square = word * 64 + std::countr_zero(looks);
                    if (entriesAbove[square + 1] == mass) continue;
                    const uint16_t next = MassAbove(entriesAbove[square + 1], kind);
                    if (next == NoMass || next == mass) continue;
                    std::fill(entries + from, entries + square, mass);
                    if (kind.counted) count(mass, square - from);
                    flush();
                    mass = MergeMasses(mass, next, Water);
                    kind.recordsHold = false;
                    from = square;
                }
                std::fill(entries + from, entries + end + 1, mass);
                if (kind.counted) count(mass, end + 1 - from);
                todo &= ~run;
                if (copied && !kind.recordsHold) {
                    copied = false;
                    todo |= north & inside & (end % 64 == 63 ? 0 : ~uint64_t{0} << (end % 64 + 1));
                }
                continue;
            }
            if (!(north & at) || (mass = MassAbove(entriesAbove[column], kind)) == NoMass) {
                flush();
                mass = northWest & at ? MassAbove(entriesAbove[column - 1], kind) : NoMass;
                if (northEast & at) mass = JoinMasses(mass, MassAbove(entriesAbove[column + 1], kind), Water);
                if (mass == NoMass) {
                    currentSquare = row * columns + column;
                    mass = kinds[Water].NewMass();
                    if (!IsLive(mass)) seenRows[row % 2].recordedNone[Water] = true;
                }
                kind = StateOf(Water);
            }
            entries[column] = mass;
            if (kind.counted) count(mass, 1);
            // Once the kind loses a mass or keeps counters, its squares below one of theirs go one by one too.
            if (copied && (!kind.recordsHold || kind.counted)) [[unlikely]] {
                copied = false;
                todo |= north & inside & (bit == 63 ? 0 : ~uint64_t{0} << (bit + 1));
            }
        }
    }
    flush();
}

// Labels the squares of the band, row by row, of a map of columns columns.
void Scan(const ScanBand& band, int columns) {
    const int first = band.firstColumn, last = band.lastColumn;
    const int innerFirst = std::max(first, 1), innerLast = std::min(last, columns - 2);
    for (auto& kindsOfRow : rowKinds) kindsOfRow.fill(NoKind);  // the row above the first is not scanned
    RowBits bandBits{};
    for (int column = first; column <= last; ++column) bandBits[column / 64] |= uint64_t{1} << (column % 64);
    std::array<uint32_t, 2> rootsLostBeforeRow{};
    for (int row = band.firstRow; row <= band.lastRow; ++row) {
        rootsLostBeforeRowAbove = rootsLostBeforeRow;
        rootsLostBeforeRow = {kinds[0].rootsLost, kinds[1].rootsLost};
        uint8_t* const kindsHere = rowKinds[row % 2].data();
        const uint8_t* const kindsAbove = rowKinds[(row - 1) % 2].data();
        const uint8_t* const codes = mapSquares.data() + row * columns;
        RowSeen& seen = seenRows[row % 2];
        const RowSeen& seenAbove = seenRows[(row - 1) % 2];
        const RowBits water = KindsOfRow(codes, first, last, kindsHere) & bandBits;
        seen = {water, {false, false}};
        const std::array<RowBits, 2> mine = {~water & bandBits, water};
        std::array<RowBits, 2> above{};
        if (row > band.firstRow) above = {~seenAbove.water & bandBits, seenAbove.water};
        if (first == 0 && last >= 0) LabelSquare(row, 0, columns, kindsHere, kindsAbove);
        // Squares that go on their own, copied from above or lone: where they
        // are many, the kinds go through the row one by one.
        std::array<bool, 2> copies{};
        int alone = 0;
        for (uint8_t kind = 0; kind < 2; ++kind) {
            copies[kind] = row > band.firstRow && !kinds[kind].filled && RecordsAboveHold(kind) &&
                           !seenAbove.recordedNone[kind];
            if (copies[kind])
                for (int word = 0; word < RowWords; ++word) alone += std::popcount(mine[kind][word] & above[kind][word]);
        }
        const int many = (innerLast - innerFirst + 1) / 4;
        for (uint8_t kind = 0; kind < 2 && alone < many; ++kind) {
            const RowBits westOfMine = WestBits(mine[kind]), westAbove = WestBits(above[kind]),
                          eastAbove = EastBits(above[kind]);
            for (int word = 0; word < RowWords; ++word)
                alone += std::popcount(mine[kind][word] & ~above[kind][word] & ~westOfMine[word] & ~westAbove[word] &
                                       ~eastAbove[word]);
        }
        if (innerFirst <= innerLast && alone >= many) {
            uint16_t* const entries = squareMasses.get() + row * columns;
            if (copies[0] || copies[1])
                std::memcpy(entries + innerFirst, entries - columns + innerFirst,
                            sizeof(uint16_t) * static_cast<size_t>(innerLast - innerFirst + 1));
            LabelKindOfRow<0>(row, columns, innerFirst, innerLast, mine[0], above[0], copies[0]);
            LabelKindOfRow<1>(row, columns, innerFirst, innerLast, mine[1], above[1], copies[1]);
        } else {
            LabelInnerSquares(row, innerFirst, innerLast, columns, kindsHere, kindsAbove);
        }
        if (last == columns - 1 && last > 0 && last >= first) LabelSquare(row, last, columns, kindsHere, kindsAbove);
    }
}

// Settles each mass's label, then writes every scanned square's.
void WriteLabels(const ScanBand& band, int columns) {
    // A live mass's label: its place once its kind's count has filled, its
    // rank among the kind's live masses until then.
    for (KindLabels& kind : kinds)
        if (kind.filled) kind.CloseGaps();
    masses[NoMass].place = NoLabel;
    masses[GivenUpMass].place = OverflowLabel;
    // An absorbed mass takes its root's label through its parent, older
    // than itself and so settled before it.
    std::array<uint16_t, 2> rank{};
    for (uint16_t mass = FirstMass; mass < massEnd; ++mass) {
        Mass& settled = masses[mass];
        if (settled.parent != mass)
            settled.place = masses[settled.parent].place;
        else if (!kinds[settled.water].filled)
            settled.place = rank[settled.water]++;
    }
    // Four squares at a time, so that their reads and writes overlap.
    const Mass* const settled = masses.get();
    for (int row = band.firstRow; row <= band.lastRow; ++row) {
        const uint16_t* const entries = squareMasses.get() + row * columns;
        uint8_t* const rowLabels = labels.data() + row * columns;
        int column = band.firstColumn;
        for (; column + 3 <= band.lastColumn; column += 4) {
            const auto a = static_cast<uint8_t>(settled[entries[column]].place);
            const auto b = static_cast<uint8_t>(settled[entries[column + 1]].place);
            const auto c = static_cast<uint8_t>(settled[entries[column + 2]].place);
            const auto d = static_cast<uint8_t>(settled[entries[column + 3]].place);
            rowLabels[column] = a, rowLabels[column + 1] = b, rowLabels[column + 2] = c, rowLabels[column + 3] = d;
        }
        for (; column <= band.lastColumn; ++column) rowLabels[column] = static_cast<uint8_t>(settled[entries[column]].place);
    }
}

}  // namespace

const std::vector<uint8_t>& massLabels() { return labels; }

void ReleaseMassBuffers() {
    std::vector<uint8_t>().swap(labels);
    squareMasses.reset();
    masses.reset();
}

uint8_t MergeMassLabels(uint8_t neighbourLabel, uint8_t runningLabel, uint16_t isWater) {
    KindLabels& kind = kinds[isWater != 0];
    if (kind.filled)
        kind.CloseGaps();
    else
        kind.TableFromRanks();
    MergeMasses(kind.table[runningLabel], kind.table[neighbourLabel], kind.water);
    return std::min(neighbourLabel, runningLabel);
}

uint8_t NewMassLabel(uint16_t isWater) {
    KindLabels& kind = kinds[isWater != 0];
    const uint16_t mass = kind.NewMass();
    if (mass < FirstMass) return mass == NoMass ? NoLabel : OverflowLabel;
    return static_cast<uint8_t>(kind.filled ? masses[mass].place : kind.count - 1);
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
    scanBand = band;
    scanColumns = header.columns;
    labels.assign(gridSize, NoLabel);
    squareMasses = std::make_unique_for_overwrite<uint16_t[]>(gridSize);
    // A scanned square starts at most one mass: with all its memory had
    // before the counts are touched, a run that cannot have it leaves them.
    masses = std::make_unique_for_overwrite<Mass[]>(FirstMass + band.SquareCount());
    masses[NoMass] = {NoMass, 0, 0, NoKind};
    masses[GivenUpMass] = {GivenUpMass, 0, 0, NoKind};
    massEnd = FirstMass;
    holding.scanning = true;

    examineResults.waterMassCount = 0;
    examineResults.landMassCount = 0;
    kinds[0].Reset(0);
    kinds[1].Reset(1);
    Scan(band, header.columns);
    examineResults.landMassCount = kinds[0].count;
    examineResults.waterMassCount = kinds[1].count;
    WriteLabels(band, header.columns);
    masses.reset();
    squareMasses.reset();
}
