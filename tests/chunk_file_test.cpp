#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <tuple>

#include "gamefile/chunk_file.h"
#include "test_files.h"

using filemaker::Chunk;
using filemaker::GameFile;
using testfiles::TempFolder;

namespace {

std::vector<uint8_t> Bytes(uint8_t first, size_t count) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

// MAPD (data 1 to 20, header bytes 0xA1) and, last in the file, CITY (data 101 to 110, header bytes 0xC1).
GameFile TwoChunkFile() {
    Chunk map{"MAPD", 0, Bytes(1, 20), {}, {}, {}}, city{"CITY", 0, Bytes(101, 10), {}, {}, {}};
    map.header.fill(0xA1);
    city.header.fill(0xC1);
    GameFile file;
    file.chunks = {map, city};
    return file;
}
constexpr size_t TwoChunkHeadersSize = 26 + 2 * 12;

// Opens path as a map file: the file comes back exactly when the status is 0.
std::unique_ptr<ChunkFile> Open(const std::string& path, LoadStatus expected = LoadSucceeded) {
    LoadStatus status = 99;
    std::unique_ptr<ChunkFile> file = OpenChunkFile(path, "CMAP", 1, 1, status);
    EXPECT_EQ(status, expected) << path;
    EXPECT_EQ(file != nullptr, status == LoadSucceeded) << path;
    return file;
}

// The first count bytes of the chunk's data, or nothing when the lookup or the read fails.
std::optional<std::vector<uint8_t>> FoundData(ChunkFile& file, const char (&tag)[5], uint32_t count = 0,
                                              uint8_t number = 0) {
    ChunkKey key = MakeChunkKey(tag, number);
    std::fill(key.begin() + 5, key.end(), 0xEE);  // the key's bytes past the number are ignored
    std::vector<uint8_t> data(count);
    if (FindChunk(file, key) != 0 || ReadChunkBytes(file, data.data(), count) != 0) return std::nullopt;
    return data;
}

}  // namespace

TEST(OpenChunkFile, TestsTheTagThenTheVersionThenTheDirectory) {
    const uint32_t afterHeaders = static_cast<uint32_t>(filemaker::Build(TwoChunkFile()).size() - 26);
    const std::tuple<const char*, uint8_t, std::optional<uint32_t>, LoadStatus> cases[] = {
        {"CSCN", 1, {}, LoadWrongTag},  // a scenario opened as a map
        {"cmap", 1, {}, LoadWrongTag},  // the right tag in lower case
        {"CMAq", 1, {}, LoadWrongTag},          {"XMAP", 0, {}, LoadWrongTag},
        {"XMAP", 7, {}, LoadWrongTag},          {"XMAP", 1, 0, LoadWrongTag},
        {"XMAP", 1, 0xFFFFFFFF, LoadWrongTag},  {"CMAP", 0, 0, LoadVersionTooOld},
        {"CMAP", 2, 0, LoadVersionTooNew},      {"CMAP", 1, 0, LoadBadHeaders},
        {"CMAP", 1, afterHeaders + 1, LoadBadHeaders}, {"CMAP", 1, 0xFFFFFFFF, LoadBadHeaders},
        {"CMAP", 1, afterHeaders, LoadSucceeded},  // the whole rest of the file
        {"CMAP", 1, 1, LoadSucceeded},             // less than one entry: nothing to find, but no fault
    };
    TempFolder folder;
    for (const auto& [typeTag, version, directorySize, expected] : cases) {
        GameFile file = TwoChunkFile();
        file.typeTag = typeTag;
        file.version = version;
        file.directorySize = directorySize;
        Open(folder.Write(typeTag + std::to_string(version) + "-" + std::to_string(directorySize.value_or(24)), file),
             expected);
    }
    for (int version = 0; version <= 255; ++version) {
        GameFile file = TwoChunkFile();
        file.version = static_cast<uint8_t>(version);
        file.headerByte5 = static_cast<uint8_t>(255 - version);
        Open(folder.Write("version" + std::to_string(version), file),
             version == 0 ? LoadVersionTooOld : version == 1 ? LoadSucceeded : LoadVersionTooNew);
    }
}

TEST(OpenChunkFile, FileThatIsMissingOrCutWithinItsHeadersOrDirectoryCannotBeOpened) {
    TempFolder folder;
    for (const std::string& path : {folder.PathOf("missing.map"), folder.PathOf(""), std::string()})
        Open(path, LoadCannotOpen);
    const std::vector<uint8_t> sound = filemaker::Build(TwoChunkFile());
    for (size_t length = 0; length <= TwoChunkHeadersSize; ++length)  // the chunks are not read at open
        Open(folder.Write("cut" + std::to_string(length), {sound.begin(), sound.begin() + length}),
             length < TwoChunkHeadersSize ? LoadBadHeaders : LoadSucceeded);
    // All 26 header bytes are read before the tag is looked at.
    Open(folder.Write("short.map", std::vector<uint8_t>(25, 'X')), LoadBadHeaders);
}

TEST(OpenChunkFile, OpensAFileOfAnyNameItIsGivenInUtf8) {
    TempFolder folder;
    std::vector<std::string> names = {"Île de Mer.map", "Ærø.map", "Москва.map", "日本.map"};
#ifndef _WIN32
    names.push_back("caf\xe9.map");  // no UTF-8: Linux takes a name's bytes as they are
#endif
    for (const std::string& name : names) Open(folder.Write("Города/" + name, TwoChunkFile()));
}

TEST(FindChunk, HandsTheHeaderBackAndLeavesTheFileAtTheDataThatReadsRunOnFrom) {
    TempFolder folder;
    const std::string path = folder.Write("sound.map", TwoChunkFile());
    auto file = Open(path);
    ChunkKey key = MakeChunkKey("CITY", 0), header;
    header.fill(0xC1);
    ASSERT_EQ(FindChunk(*file, key), 0);
    EXPECT_EQ(key, header);
    std::vector<uint8_t> data(16, 0xEE);
    ASSERT_EQ(ReadChunkBytes(*file, data.data(), 6), 0);
    EXPECT_EQ(ReadChunkBytes(*file, data.data() + 6, 10), 1);  // continues, and only 4 bytes are left
    std::vector<uint8_t> expected = Bytes(101, 10);
    expected.insert(expected.end(), 6, 0xEE);  // what did arrive stays
    EXPECT_EQ(data, expected);
    EXPECT_EQ(ReadChunkBytes(*file, nullptr, 0), 0);  // a read of nothing, even at the end
    ChunkKey missing = MakeChunkKey("SCND", 0);
    missing[7] = 0x42;
    const ChunkKey before = missing;
    EXPECT_EQ(FindChunk(*file, missing), 1);
    EXPECT_EQ(missing, before);
    // Back to an earlier chunk, and on through the next chunk's header: a read is not bounded by its chunk.
    expected = Bytes(1, 20);
    expected.insert(expected.end(), 12, 0xC1);
    for (uint8_t b : Bytes(101, 3)) expected.push_back(b);
    EXPECT_EQ(FoundData(*file, "MAPD", 35), expected);
    CloseChunkFile(std::move(file));
    EXPECT_FALSE(testfiles::HeldOpen(path));
}

TEST(FindChunk, FirstEntryWithTheTagAndNumberWinsAndOnlyTheyAreCompared) {
    GameFile gameFile;
    gameFile.chunks = {{"MAPD", 1, Bytes(10, 4), {}, {}, {}}, {"MAPd", 0, Bytes(20, 4), {}, {}, {}},
                       {"MAPD", 0, Bytes(30, 4), {}, {}, {0xFF, 0x01, 0x80}},  // entry bytes 5 to 7
                       {"MAPD", 0, Bytes(40, 4), {}, {}, {}}};
    TempFolder folder;
    auto file = Open(folder.Write("twice.map", gameFile));
    EXPECT_EQ(FoundData(*file, "MAPD", 4), Bytes(30, 4));
    EXPECT_EQ(FoundData(*file, "MAPD", 4, 1), Bytes(10, 4));
    EXPECT_FALSE(FoundData(*file, "MAPD", 0, 2));
}

TEST(FindChunk, SearchesOnlyWholeEntriesOfTheCountAndFailsWithoutTwelveBytesAtTheOffset) {
    const uint32_t size = static_cast<uint32_t>(filemaker::Build(TwoChunkFile()).size());
    const std::tuple<uint16_t, uint32_t, std::optional<uint32_t>, bool> cases[] = {
        {0, 24, {}, false},         {1, 24, {}, false},
        {2, 12 + 5, {}, false},     // the second entry without its offset
        {0xFFFF, 24, {}, true},     // more entries than the directory holds
        {2, 24, size - 12, true},   // a header and no data
        {2, 24, size - 11, false},  {2, 24, size - 1, false}, {2, 24, size, false},
        {2, 24, size + 100, false}, {2, 24, 0xFFFFFFFF, false},
    };
    TempFolder folder;
    for (const auto& [entryCount, directorySize, cityOffset, findsCity] : cases) {
        SCOPED_TRACE(std::to_string(entryCount) + " entries, city at " + std::to_string(cityOffset.value_or(0)));
        GameFile gameFile = TwoChunkFile();
        gameFile.entryCount = entryCount;
        gameFile.directorySize = directorySize;
        gameFile.chunks[1].offset = cityOffset;
        auto file = Open(folder.Write("lookup.map", gameFile));
        EXPECT_EQ(FoundData(*file, "CITY").has_value(), findsCity);
        EXPECT_FALSE(FoundData(*file, "SCND"));
        EXPECT_EQ(FoundData(*file, "MAPD", 20), entryCount > 0 ? std::optional(Bytes(1, 20)) : std::nullopt);
        EXPECT_EQ(FoundData(*file, "CITY").has_value(), findsCity);  // the file stays usable
    }
}
