#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

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

Chunk MakeChunk(const char* tag, uint8_t number, std::vector<uint8_t> data, uint8_t headerFill = 0) {
    Chunk chunk{tag, number, std::move(data), {}, {}, {}};
    chunk.header.fill(headerFill);
    return chunk;
}

// A map file with two chunks: MAPD (data 1 to 20) and CITY (data 101 to 110), the last.
GameFile TwoChunkFile() {
    GameFile file;
    file.chunks = {MakeChunk("MAPD", 0, Bytes(1, 20), 0xA1), MakeChunk("CITY", 0, Bytes(101, 10), 0xC1)};
    return file;
}
constexpr size_t TwoChunkHeadersSize = 26 + 2 * 12;

LoadStatus OpenStatus(const std::string& path, const char (&tag)[5] = "CMAP") {
    LoadStatus status = 99;
    std::unique_ptr<ChunkFile> file = OpenChunkFile(path, tag, 1, 1, status);
    EXPECT_EQ(file != nullptr, status == LoadSucceeded) << "status " << status;
    return status;
}

std::unique_ptr<ChunkFile> OpenMap(const std::string& path) {
    LoadStatus status = 99;
    std::unique_ptr<ChunkFile> file = OpenChunkFile(path, "CMAP", 1, 1, status);
    EXPECT_EQ(status, LoadSucceeded);
    return file;
}

bool Finds(ChunkFile& file, const char (&tag)[5], uint8_t number = 0) {
    ChunkKey key = MakeChunkKey(tag, number);
    return FindChunk(file, key) == 0;
}

// The first count bytes of the chunk's data, or nothing when the lookup fails.
std::vector<uint8_t> FoundData(ChunkFile& file, const char (&tag)[5], uint8_t number, uint32_t count) {
    if (!Finds(file, tag, number)) return {};
    std::vector<uint8_t> data(count);
    EXPECT_EQ(ReadChunkBytes(file, data.data(), count), 0);
    return data;
}

}  // namespace

// ---- Opening ---------------------------------------------------------------

TEST(OpenChunkFile, FileCutWithinItsHeadersOrDirectoryIsBadDataButNotWithinItsChunks) {
    TempFolder folder;
    const std::vector<uint8_t> sound = filemaker::Build(TwoChunkFile());
    for (size_t length = 0; length <= TwoChunkHeadersSize; ++length) {
        SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
        EXPECT_EQ(OpenStatus(folder.Write("cut.map", testfiles::Truncated(sound, length))),
                  length < TwoChunkHeadersSize ? LoadBadHeaders : LoadSucceeded);
    }
    // All 26 header bytes are read before the tag is looked at.
    EXPECT_EQ(OpenStatus(folder.Write("short.map", std::vector<uint8_t>(25, 'X'))), LoadBadHeaders);
}

TEST(OpenChunkFile, WrongTagIsRefusedBeforeVersionAndDirectory) {
    struct Case {
        const char* typeTag;
        uint8_t version;
        uint32_t directorySize;
    };
    const Case cases[] = {
        {"CSCN", 1, 24},  // a scenario opened as a map
        {"cmap", 1, 24},  // the right tag in lower case
        {"CMAq", 1, 24},
        {"XMAP", 0, 24},  // the version would be too old
        {"XMAP", 7, 24},  // too new
        {"XMAP", 1, 0},   // the directory would be empty
        {"XMAP", 1, 0xFFFFFFFF},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typeTag) + " version " + std::to_string(c.version));
        GameFile file = TwoChunkFile();
        file.typeTag = c.typeTag;
        file.version = c.version;
        file.directorySize = c.directorySize;
        EXPECT_EQ(OpenStatus(folder.Write("tag.map", file)), LoadWrongTag);
    }
    EXPECT_EQ(OpenStatus(folder.Write("tag.map", TwoChunkFile()), "CSCN"), LoadWrongTag);
}

TEST(OpenChunkFile, OnlyVersionOnePassesWhateverHeaderByteFiveHolds) {
    TempFolder folder;
    for (int version = 0; version <= 255; ++version) {
        SCOPED_TRACE("version " + std::to_string(version));
        GameFile file = TwoChunkFile();
        file.version = static_cast<uint8_t>(version);
        file.headerByte5 = static_cast<uint8_t>(255 - version);
        const LoadStatus expected = version == 0   ? LoadVersionTooOld
                                    : version == 1 ? LoadSucceeded
                                                   : LoadVersionTooNew;
        EXPECT_EQ(OpenStatus(folder.Write("version.map", file)), expected);
    }
    // The version is tested before the directory.
    GameFile old = TwoChunkFile();
    old.version = 0;
    old.directorySize = 0;
    EXPECT_EQ(OpenStatus(folder.Write("old.map", old)), LoadVersionTooOld);
    GameFile newer;  // headers only
    newer.version = 2;
    EXPECT_EQ(OpenStatus(folder.Write("newer.map", newer)), LoadVersionTooNew);
}

TEST(OpenChunkFile, DirectoryThatIsEmptyOrLargerThanTheFileIsBadData) {
    const uint32_t afterHeaders = static_cast<uint32_t>(filemaker::Build(TwoChunkFile()).size() - 26);
    struct Case {
        uint32_t directorySize;
        LoadStatus expected;
    };
    const Case cases[] = {
        {0, LoadBadHeaders},
        {afterHeaders + 1, LoadBadHeaders},
        {0xFFFFFFFF, LoadBadHeaders},
        {afterHeaders, LoadSucceeded},  // the whole rest of the file
        {1, LoadSucceeded},             // less than one entry: nothing to find, but no fault
    };
    TempFolder folder;
    for (const Case& c : cases) {
        GameFile file = TwoChunkFile();
        file.directorySize = c.directorySize;
        EXPECT_EQ(OpenStatus(folder.Write("directory.map", file)), c.expected)
            << "directorySize " << c.directorySize;
    }
}

TEST(OpenChunkFile, PathThatNamesNoFileOrAFolderCannotBeOpened) {
    TempFolder folder;
    EXPECT_EQ(OpenStatus((folder.path() / "missing.map").string()), LoadCannotOpen);
    EXPECT_EQ(OpenStatus(folder.path().string()), LoadCannotOpen);
    EXPECT_EQ(OpenStatus(""), LoadCannotOpen);
}

// ---- Lookups ---------------------------------------------------------------

TEST(FindChunk, LeavesTheFileAtTheDataAfterTheChunkHeaderAndHandsTheHeaderBack) {
    TempFolder folder;
    const std::string path = folder.Write("sound.map", TwoChunkFile());
    const int filesBefore = testfiles::OpenFileCount();
    auto file = OpenMap(path);
    ChunkKey key = MakeChunkKey("CITY", 0);
    ASSERT_EQ(FindChunk(*file, key), 0);
    ChunkKey header;
    header.fill(0xC1);
    EXPECT_EQ(key, header);
    std::vector<uint8_t> first(4), second(6);
    ASSERT_EQ(ReadChunkBytes(*file, first.data(), 4), 0);
    ASSERT_EQ(ReadChunkBytes(*file, second.data(), 6), 0);  // continues where the first stopped
    EXPECT_EQ(first, Bytes(101, 4));
    EXPECT_EQ(second, Bytes(105, 6));
    EXPECT_EQ(FoundData(*file, "MAPD", 0, 3), Bytes(1, 3));  // back to an earlier chunk
    CloseChunkFile(std::move(file));
    EXPECT_EQ(testfiles::OpenFileCount(), filesBefore);
}

TEST(FindChunk, FirstEntryWithTheTagAndNumberWinsAndOnlyTheyAreCompared) {
    GameFile gameFile;
    gameFile.chunks = {MakeChunk("MAPD", 1, Bytes(10, 4)), MakeChunk("MAPd", 0, Bytes(20, 4)),
                       MakeChunk("MAPD", 0, Bytes(30, 4)), MakeChunk("MAPD", 0, Bytes(40, 4))};
    gameFile.chunks[2].entryPadding = {0xFF, 0x01, 0x80};  // entry bytes 5 to 7
    TempFolder folder;
    auto file = OpenMap(folder.Write("twice.map", gameFile));
    ChunkKey key = MakeChunkKey("MAPD", 0);
    for (size_t i = 5; i < key.size(); ++i) key[i] = 0xEE;  // key bytes past the number
    ASSERT_EQ(FindChunk(*file, key), 0);
    std::vector<uint8_t> data(4);
    ASSERT_EQ(ReadChunkBytes(*file, data.data(), 4), 0);
    EXPECT_EQ(data, Bytes(30, 4));
    EXPECT_EQ(FoundData(*file, "MAPD", 1, 4), Bytes(10, 4));
    EXPECT_FALSE(Finds(*file, "MAPD", 2));
}

TEST(FindChunk, MissingChunkFailsAndLeavesTheKeyAsItWas) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    ChunkKey key = MakeChunkKey("SCND", 0);
    key[7] = 0x42;
    const ChunkKey before = key;
    EXPECT_EQ(FindChunk(*file, key), 1);
    EXPECT_EQ(key, before);
    EXPECT_EQ(FoundData(*file, "MAPD", 0, 3), Bytes(1, 3));
}

TEST(FindChunk, SearchesOnlyEntryCountEntriesAndOnlyWholeEntries) {
    struct Case {
        const char* what;
        uint16_t entryCount;
        uint32_t directorySize;
        bool findsMap;
        bool findsCity;
    };
    const Case cases[] = {
        {"no entries", 0, 24, false, false},
        {"one entry", 1, 24, true, false},
        {"the second entry without its offset", 2, 12 + 5, true, false},
        {"more entries than the directory holds", 0xFFFF, 24, true, true},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameFile gameFile = TwoChunkFile();
        gameFile.entryCount = c.entryCount;
        gameFile.directorySize = c.directorySize;
        auto file = OpenMap(folder.Write("count.map", gameFile));
        EXPECT_EQ(Finds(*file, "MAPD"), c.findsMap);
        EXPECT_EQ(Finds(*file, "CITY"), c.findsCity);
        EXPECT_FALSE(Finds(*file, "SCND"));
    }
}

TEST(FindChunk, EntryWithoutTwelveBytesBeforeTheEndFailsAndTheFileStaysUsable) {
    const uint32_t fileSize = static_cast<uint32_t>(filemaker::Build(TwoChunkFile()).size());
    TempFolder folder;
    for (uint32_t offset : {fileSize - 11, fileSize - 1, fileSize, fileSize + 100, 0xFFFFFFFFu}) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        GameFile gameFile = TwoChunkFile();
        gameFile.chunks[1].offset = offset;
        auto file = OpenMap(folder.Write("offset.map", gameFile));
        EXPECT_FALSE(Finds(*file, "CITY"));
        EXPECT_EQ(FoundData(*file, "MAPD", 0, 20), Bytes(1, 20));
        EXPECT_FALSE(Finds(*file, "CITY"));
    }
    // Exactly twelve bytes before the end: found, with no data after it.
    GameFile atEnd = TwoChunkFile();
    atEnd.chunks[1].offset = fileSize - 12;
    auto file = OpenMap(folder.Write("end.map", atEnd));
    ASSERT_TRUE(Finds(*file, "CITY"));
    uint8_t byte = 0;
    EXPECT_EQ(ReadChunkBytes(*file, &byte, 1), 1);
}

// ---- Reads -----------------------------------------------------------------

TEST(ReadChunkBytes, ReadIsNotBoundedByTheChunkAndRunsIntoTheNext) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    std::vector<uint8_t> expected = Bytes(1, 20);
    expected.insert(expected.end(), 12, 0xC1);  // the CITY chunk's header
    for (uint8_t b : Bytes(101, 3)) expected.push_back(b);
    EXPECT_EQ(FoundData(*file, "MAPD", 0, static_cast<uint32_t>(expected.size())), expected);
}

TEST(ReadChunkBytes, ReadPastTheEndFailsAndKeepsWhatArrived) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    ASSERT_TRUE(Finds(*file, "CITY"));
    std::vector<uint8_t> data(16, 0xEE);
    EXPECT_EQ(ReadChunkBytes(*file, data.data(), 16), 1);
    std::vector<uint8_t> expected = Bytes(101, 10);
    expected.insert(expected.end(), 6, 0xEE);
    EXPECT_EQ(data, expected);
    EXPECT_EQ(ReadChunkBytes(*file, nullptr, 0), 0);  // a read of nothing, even at the end
    EXPECT_EQ(FoundData(*file, "MAPD", 0, 20), Bytes(1, 20));
}

TEST(ReadChunkBytes, CurrentFileLookupsAndReadsNeedACurrentFile) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    currentFile = file.get();
    ChunkKey key = MakeChunkKey("CITY", 0);
    EXPECT_EQ(FindCurrentChunk(key), 0);
    std::vector<uint8_t> data(8);
    EXPECT_EQ(ReadCurrentBytes(data.data(), 3), 0);
    EXPECT_EQ(ReadCurrentBytes(data.data(), 8), 1);  // 7 bytes are left
    currentFile = nullptr;
    ChunkKey again = MakeChunkKey("CITY", 0);
    EXPECT_EQ(FindCurrentChunk(again), 1);
    EXPECT_EQ(ReadCurrentBytes(data.data(), 1), 1);
}
