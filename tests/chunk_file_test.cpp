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

Chunk MakeChunk(std::string tag, uint8_t number, std::vector<uint8_t> data, uint8_t headerFill) {
    Chunk chunk;
    chunk.tag = std::move(tag);
    chunk.number = number;
    chunk.data = std::move(data);
    chunk.header.fill(headerFill);
    return chunk;
}

// A map file with two chunks: MAPD (data 1 to 20) and CITY (data 101 to 110).
GameFile TwoChunkFile() {
    GameFile file;
    file.chunks.push_back(MakeChunk("MAPD", 0, Bytes(1, 20), 0xA1));
    file.chunks.push_back(MakeChunk("CITY", 0, Bytes(101, 10), 0xC1));
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
    EXPECT_NE(file, nullptr);
    return file;
}

// The data that a lookup of tag and number finds: the first count bytes.
std::vector<uint8_t> FindAndRead(ChunkFile& file, const char (&tag)[5], uint8_t number,
                                 uint32_t count) {
    ChunkKey key = MakeChunkKey(tag, number);
    if (FindChunk(file, key) != 0) return {};
    std::vector<uint8_t> data(count);
    EXPECT_EQ(ReadChunkBytes(file, data.data(), count), 0);
    return data;
}

}  // namespace

// ---- Opening ---------------------------------------------------------------

TEST(OpenChunkFile, OpensASoundFileAndSetsStatusZero) {
    TempFolder folder;
    LoadStatus status = -99;
    auto file = OpenChunkFile(folder.Write("sound.map", TwoChunkFile()), "CMAP", 1, 1, status);
    EXPECT_EQ(status, LoadSucceeded);
    ASSERT_NE(file, nullptr);
    CloseChunkFile(std::move(file));
}

TEST(OpenChunkFile, FileCutAnywhereWithinItsHeadersOrDirectoryIsBadData) {
    TempFolder folder;
    const std::vector<uint8_t> sound = filemaker::Build(TwoChunkFile());
    for (size_t length = 0; length < TwoChunkHeadersSize; ++length) {
        SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
        EXPECT_EQ(OpenStatus(folder.Write("cut.map", testfiles::Truncated(sound, length))),
                  LoadBadHeaders);
    }
}

TEST(OpenChunkFile, FileCutWithinItsChunksStillOpens) {
    TempFolder folder;
    const std::vector<uint8_t> sound = filemaker::Build(TwoChunkFile());
    EXPECT_EQ(OpenStatus(folder.Write("cut.map", testfiles::Truncated(sound, TwoChunkHeadersSize))),
              LoadSucceeded);
}

TEST(OpenChunkFile, FileShorterThanTheHeadersIsBadDataWhateverItBeginsWith) {
    TempFolder folder;
    std::vector<uint8_t> wrongTag(25, 'X');
    EXPECT_EQ(OpenStatus(folder.Write("short.map", wrongTag)), LoadBadHeaders);
    std::vector<uint8_t> wrongVersion = testfiles::Truncated(filemaker::Build(GameFile{}), 25);
    wrongVersion[4] = 0;
    EXPECT_EQ(OpenStatus(folder.Write("short.map", wrongVersion)), LoadBadHeaders);
}

TEST(OpenChunkFile, WrongTagIsRefusedBeforeVersionAndDirectory) {
    struct Case {
        const char* typeTag;
        uint8_t version;
        uint32_t directorySize;
    };
    const Case cases[] = {
        {"CSCN", 1, 12},          // a scenario opened as a map
        {"cmap", 1, 12},          // the right tag in lower case
        {"CMAq", 1, 12},
        {"XMAP", 0, 12},          // the version would be too old
        {"XMAP", 7, 12},          // the version would be too new
        {"XMAP", 1, 0},           // the directory would be empty
        {"XMAP", 1, 0xFFFFFFFF},  // the directory would be larger than the file
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
    GameFile headersOnly;
    headersOnly.typeTag = "CSCN";
    EXPECT_EQ(OpenStatus(folder.Write("tag.map", headersOnly)), LoadWrongTag);
    EXPECT_EQ(OpenStatus(folder.Write("tag.scn", TwoChunkFile()), "CSCN"), LoadWrongTag);
}

TEST(OpenChunkFile, OnlyVersionOnePassesAnythingBelowIsUnsupportedAndAboveIsNewer) {
    TempFolder folder;
    for (int version = 0; version <= 255; ++version) {
        SCOPED_TRACE("version " + std::to_string(version));
        GameFile file = TwoChunkFile();
        file.version = static_cast<uint8_t>(version);
        const LoadStatus expected = version == 0   ? LoadVersionTooOld
                                    : version == 1 ? LoadSucceeded
                                                   : LoadVersionTooNew;
        EXPECT_EQ(OpenStatus(folder.Write("version.map", file)), expected);
    }
}

TEST(OpenChunkFile, HeaderByteFiveIsNeverTested) {
    TempFolder folder;
    for (int byte5 : {0, 1, 2, 0x7F, 0x80, 0xFF}) {
        GameFile file = TwoChunkFile();
        file.headerByte5 = static_cast<uint8_t>(byte5);
        EXPECT_EQ(OpenStatus(folder.Write("byte5.map", file)), LoadSucceeded) << byte5;
    }
}

TEST(OpenChunkFile, VersionIsTestedBeforeTheDirectory) {
    TempFolder folder;
    GameFile old = TwoChunkFile();
    old.version = 0;
    old.directorySize = 0;
    EXPECT_EQ(OpenStatus(folder.Write("old.map", old)), LoadVersionTooOld);
    GameFile newer = TwoChunkFile();
    newer.version = 2;
    newer.directorySize = 0xFFFFFFFF;
    EXPECT_EQ(OpenStatus(folder.Write("newer.map", newer)), LoadVersionTooNew);
    GameFile headersOnly;
    headersOnly.version = 9;
    EXPECT_EQ(OpenStatus(folder.Write("headers.map", headersOnly)), LoadVersionTooNew);
}

TEST(OpenChunkFile, DirectoryThatIsEmptyOrLargerThanTheFileIsBadData) {
    const size_t fileSize = filemaker::Build(TwoChunkFile()).size();
    const uint32_t afterHeaders = static_cast<uint32_t>(fileSize - 26);
    struct Case {
        uint32_t directorySize;
        LoadStatus expected;
    };
    const Case cases[] = {
        {0, LoadBadHeaders},
        {afterHeaders + 1, LoadBadHeaders},
        {0x7FFFFFFF, LoadBadHeaders},
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

TEST(OpenChunkFile, FailedOpensAndClosedFilesLeaveNoFileOpen) {
    TempFolder folder;
    GameFile wrongVersion = TwoChunkFile();
    wrongVersion.version = 3;
    const std::string paths[] = {
        folder.Write("short.map", std::vector<uint8_t>(10, 'C')),
        folder.Write("tag.map", TwoChunkFile()),  // opened as a scenario below
        folder.Write("version.map", wrongVersion),
        folder.Write("sound.map", TwoChunkFile()),
    };
    const int before = testfiles::OpenFileCount();
    for (int round = 0; round < 3; ++round) {
        OpenStatus(paths[0]);
        OpenStatus(paths[1], "CSCN");
        OpenStatus(paths[2]);
        OpenStatus(folder.path().string());
        CloseChunkFile(OpenMap(paths[3]));
    }
    EXPECT_EQ(testfiles::OpenFileCount(), before);
}

// ---- Lookups ---------------------------------------------------------------

TEST(FindChunk, PositionsAtTheDataAfterTheChunkHeaderAndHandsTheHeaderBack) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    ChunkKey key = MakeChunkKey("CITY", 0);
    ASSERT_EQ(FindChunk(*file, key), 0);
    ChunkKey header;
    header.fill(0xC1);
    EXPECT_EQ(key, header);
    std::vector<uint8_t> data(10);
    ASSERT_EQ(ReadChunkBytes(*file, data.data(), 10), 0);
    EXPECT_EQ(data, Bytes(101, 10));
}

TEST(FindChunk, ChunksAreFoundInAnyOrderAndReadsContinueWhereTheLastStopped) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    EXPECT_EQ(FindAndRead(*file, "CITY", 0, 4), Bytes(101, 4));
    ChunkKey key = MakeChunkKey("MAPD", 0);
    ASSERT_EQ(FindChunk(*file, key), 0);
    std::vector<uint8_t> first(5), second(5);
    ASSERT_EQ(ReadChunkBytes(*file, first.data(), 5), 0);
    ASSERT_EQ(ReadChunkBytes(*file, second.data(), 5), 0);
    EXPECT_EQ(first, Bytes(1, 5));
    EXPECT_EQ(second, Bytes(6, 5));
}

TEST(FindChunk, FirstMatchingEntryInTheDirectoryWins) {
    GameFile gameFile;
    gameFile.chunks.push_back(MakeChunk("CITY", 0, Bytes(1, 4), 0));
    gameFile.chunks.push_back(MakeChunk("MAPD", 0, Bytes(10, 4), 0));
    gameFile.chunks.push_back(MakeChunk("MAPD", 0, Bytes(20, 4), 0));
    TempFolder folder;
    auto file = OpenMap(folder.Write("twice.map", gameFile));
    EXPECT_EQ(FindAndRead(*file, "MAPD", 0, 4), Bytes(10, 4));
}

TEST(FindChunk, TagAndNumberMustBothMatchAndOnlyTheyCount) {
    GameFile gameFile;
    gameFile.chunks.push_back(MakeChunk("MAPD", 1, Bytes(10, 4), 0));
    gameFile.chunks.push_back(MakeChunk("MAPd", 0, Bytes(20, 4), 0));
    Chunk padded = MakeChunk("MAPD", 0, Bytes(30, 4), 0);
    padded.entryPadding = {0xFF, 0x01, 0x80};  // entry bytes 5 to 7
    gameFile.chunks.push_back(padded);
    TempFolder folder;
    auto file = OpenMap(folder.Write("numbers.map", gameFile));

    ChunkKey key = MakeChunkKey("MAPD", 0);
    for (size_t i = 5; i < key.size(); ++i) key[i] = 0xEE;  // key bytes past the number
    ASSERT_EQ(FindChunk(*file, key), 0);
    std::vector<uint8_t> data(4);
    ASSERT_EQ(ReadChunkBytes(*file, data.data(), 4), 0);
    EXPECT_EQ(data, Bytes(30, 4));
    EXPECT_EQ(FindAndRead(*file, "MAPD", 1, 4), Bytes(10, 4));
    ChunkKey absent = MakeChunkKey("MAPD", 2);
    EXPECT_EQ(FindChunk(*file, absent), 1);
}

TEST(FindChunk, MissingChunkFailsAndLeavesTheKeyAsItWas) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    ChunkKey key = MakeChunkKey("SCND", 0);
    key[7] = 0x42;
    const ChunkKey before = key;
    EXPECT_EQ(FindChunk(*file, key), 1);
    EXPECT_EQ(key, before);
    EXPECT_EQ(FindAndRead(*file, "MAPD", 0, 3), Bytes(1, 3));
}

TEST(FindChunk, EntryCountLimitsTheSearch) {
    TempFolder folder;
    GameFile none = TwoChunkFile();
    none.entryCount = 0;
    auto empty = OpenMap(folder.Write("none.map", none));
    for (const char* tag : {"MAPD", "CITY"}) {
        ChunkKey key{};
        CopyBytes(tag, key.data(), 4);
        EXPECT_EQ(FindChunk(*empty, key), 1) << tag;
    }
    GameFile one = TwoChunkFile();
    one.entryCount = 1;
    auto first = OpenMap(folder.Write("one.map", one));
    EXPECT_EQ(FindAndRead(*first, "MAPD", 0, 2), Bytes(1, 2));
    ChunkKey city = MakeChunkKey("CITY", 0);
    EXPECT_EQ(FindChunk(*first, city), 1);
}

TEST(FindChunk, EntryCountPastTheDirectoryStopsAtTheLastWholeEntry) {
    TempFolder folder;
    // The directory holds the first entry and the tag and number of the second,
    // but not the second's offset.
    GameFile partial = TwoChunkFile();
    partial.directorySize = 12 + 5;
    auto file = OpenMap(folder.Write("partial.map", partial));
    EXPECT_EQ(FindAndRead(*file, "MAPD", 0, 2), Bytes(1, 2));
    ChunkKey city = MakeChunkKey("CITY", 0);
    EXPECT_EQ(FindChunk(*file, city), 1);

    GameFile lying = TwoChunkFile();
    lying.entryCount = 0xFFFF;
    auto lyingFile = OpenMap(folder.Write("lying.map", lying));
    ChunkKey absent = MakeChunkKey("SCND", 0);
    EXPECT_EQ(FindChunk(*lyingFile, absent), 1);
    EXPECT_EQ(FindAndRead(*lyingFile, "CITY", 0, 2), Bytes(101, 2));
}

TEST(FindChunk, EntryWithoutTwelveBytesBeforeTheEndFailsAndTheFileStaysUsable) {
    const uint32_t fileSize = static_cast<uint32_t>(filemaker::Build(TwoChunkFile()).size());
    TempFolder folder;
    for (uint32_t offset : {fileSize - 11, fileSize - 1, fileSize, fileSize + 100, 0xFFFFFFFFu}) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        GameFile gameFile = TwoChunkFile();
        gameFile.chunks[1].offset = offset;
        auto file = OpenMap(folder.Write("offset.map", gameFile));
        ChunkKey city = MakeChunkKey("CITY", 0);
        EXPECT_EQ(FindChunk(*file, city), 1);
        EXPECT_EQ(FindAndRead(*file, "MAPD", 0, 20), Bytes(1, 20));
        ChunkKey again = MakeChunkKey("CITY", 0);
        EXPECT_EQ(FindChunk(*file, again), 1);
    }
}

TEST(FindChunk, EntryAtExactlyTwelveBytesBeforeTheEndIsFoundWithNoData) {
    const uint32_t fileSize = static_cast<uint32_t>(filemaker::Build(TwoChunkFile()).size());
    GameFile gameFile = TwoChunkFile();
    gameFile.chunks[1].offset = fileSize - 12;
    TempFolder folder;
    auto file = OpenMap(folder.Write("end.map", gameFile));
    ChunkKey city = MakeChunkKey("CITY", 0);
    ASSERT_EQ(FindChunk(*file, city), 0);
    uint8_t byte = 0;
    EXPECT_EQ(ReadChunkBytes(*file, &byte, 1), 1);
}

TEST(FindChunk, ChunkMayLieAnywhereEvenOverTheFileHeaders) {
    GameFile gameFile = TwoChunkFile();
    gameFile.chunks[0].offset = 0;
    TempFolder folder;
    const std::string path = folder.Write("overlap.map", gameFile);
    const std::vector<uint8_t> bytes = filemaker::Build(gameFile);
    auto file = OpenMap(path);
    ChunkKey key = MakeChunkKey("MAPD", 0);
    ASSERT_EQ(FindChunk(*file, key), 0);
    EXPECT_EQ(std::vector<uint8_t>(key.begin(), key.end()),
              std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12));
    std::vector<uint8_t> data(14);
    ASSERT_EQ(ReadChunkBytes(*file, data.data(), 14), 0);
    EXPECT_EQ(data, std::vector<uint8_t>(bytes.begin() + 12, bytes.begin() + 26));
}

// ---- Reads -----------------------------------------------------------------

TEST(ReadChunkBytes, ReadIsNotBoundedByTheChunkAndRunsIntoTheNext) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    ChunkKey key = MakeChunkKey("MAPD", 0);
    ASSERT_EQ(FindChunk(*file, key), 0);
    std::vector<uint8_t> data(20 + 12 + 3);
    ASSERT_EQ(ReadChunkBytes(*file, data.data(), static_cast<uint32_t>(data.size())), 0);
    std::vector<uint8_t> expected = Bytes(1, 20);
    expected.insert(expected.end(), 12, 0xC1);  // the CITY chunk's header
    for (uint8_t b : Bytes(101, 3)) expected.push_back(b);
    EXPECT_EQ(data, expected);
}

TEST(ReadChunkBytes, ReadPastTheEndFailsAndKeepsWhatArrived) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    ChunkKey key = MakeChunkKey("CITY", 0);
    ASSERT_EQ(FindChunk(*file, key), 0);
    std::vector<uint8_t> data(16, 0xEE);
    EXPECT_EQ(ReadChunkBytes(*file, data.data(), 16), 1);
    std::vector<uint8_t> expected = Bytes(101, 10);
    expected.insert(expected.end(), 6, 0xEE);
    EXPECT_EQ(data, expected);
    EXPECT_EQ(FindAndRead(*file, "MAPD", 0, 20), Bytes(1, 20));
}

TEST(ReadChunkBytes, ReadOfNothingSucceedsEvenAtTheEnd) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    ChunkKey key = MakeChunkKey("CITY", 0);
    ASSERT_EQ(FindChunk(*file, key), 0);
    std::vector<uint8_t> rest(10);
    ASSERT_EQ(ReadChunkBytes(*file, rest.data(), 10), 0);
    EXPECT_EQ(ReadChunkBytes(*file, nullptr, 0), 0);
    uint8_t byte = 0;
    EXPECT_EQ(ReadChunkBytes(*file, &byte, 1), 1);
}

// ---- The current file ------------------------------------------------------

TEST(CurrentFile, LookupsAndReadsGoToTheCurrentFile) {
    TempFolder folder;
    auto file = OpenMap(folder.Write("sound.map", TwoChunkFile()));
    currentFile = file.get();
    ChunkKey key = MakeChunkKey("CITY", 0);
    EXPECT_EQ(FindCurrentChunk(key), 0);
    std::vector<uint8_t> data(3);
    EXPECT_EQ(ReadCurrentBytes(data.data(), 3), 0);
    EXPECT_EQ(data, Bytes(101, 3));
    ChunkKey absent = MakeChunkKey("SCND", 0);
    EXPECT_EQ(FindCurrentChunk(absent), 1);
    std::vector<uint8_t> rest(8);
    EXPECT_EQ(ReadCurrentBytes(rest.data(), 8), 1);  // 7 bytes are left
    currentFile = nullptr;

    ChunkKey again = MakeChunkKey("CITY", 0);
    EXPECT_EQ(FindCurrentChunk(again), 1);
    EXPECT_EQ(ReadCurrentBytes(rest.data(), 1), 1);
}
