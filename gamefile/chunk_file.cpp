#include "gamefile/chunk_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include "gamefile/utf8_path.h"

ChunkFile* currentFile = nullptr;

namespace {

constexpr int FileHeaderSize = 12;
constexpr int DirectoryHeaderSize = 12;
constexpr int EntryCountSize = 2;
constexpr std::streamoff DirectoryStart = FileHeaderSize + DirectoryHeaderSize + EntryCountSize;
constexpr int DirectoryEntrySize = 12;
constexpr int DirectorySizeOffset = 8;  // within the directory header

bool ReadExactly(std::ifstream& file, void* destination, std::streamsize count) {
    file.read(static_cast<char*>(destination), count);
    const bool complete = file.gcount() == count;
    // A short read must leave the file usable for the next lookup.
    file.clear();
    return complete;
}

// A folder opens as a file on some systems; it is never a game file.
bool IsFolder(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

// Bytes from offset 26 to the end of the file; the position is left at 26.
std::streamoff BytesAfterHeaders(std::ifstream& file) {
    file.seekg(0, std::ios::end);
    const std::streamoff end = file.tellg();
    file.clear();
    file.seekg(DirectoryStart);
    return end < DirectoryStart ? 0 : end - DirectoryStart;
}

}  // namespace

ChunkKey MakeChunkKey(const char (&tag)[5], uint8_t number) {
    ChunkKey key{};
    CopyBytes(tag, key.data(), 4);
    key[4] = number;
    return key;
}

std::unique_ptr<ChunkFile> OpenChunkFile(const std::string& path, const char (&typeTag)[5],
                                         uint8_t minVersion, uint8_t maxVersion,
                                         LoadStatus& status) {
    status = LoadSucceeded;
    const auto fail = [&status](LoadStatus failure) {
        status = failure;
        return nullptr;
    };
    auto chunkFile = std::make_unique<ChunkFile>();

    const std::filesystem::path filePath = Utf8Path(path);
    if (IsFolder(filePath)) return fail(LoadCannotOpen);
    chunkFile->file.open(filePath, std::ios::binary);
    if (!chunkFile->file.is_open()) return fail(LoadCannotOpen);

    std::array<uint8_t, FileHeaderSize> fileHeader{};
    std::array<uint8_t, DirectoryHeaderSize> directoryHeader{};
    std::array<uint8_t, EntryCountSize> entryCount{};
    if (!ReadExactly(chunkFile->file, fileHeader.data(), FileHeaderSize) ||
        !ReadExactly(chunkFile->file, directoryHeader.data(), DirectoryHeaderSize) ||
        !ReadExactly(chunkFile->file, entryCount.data(), EntryCountSize))
        return fail(LoadBadHeaders);

    if (std::memcmp(fileHeader.data(), typeTag, 4) != 0) return fail(LoadWrongTag);
    chunkFile->version = fileHeader[4];
    chunkFile->headerByte5 = fileHeader[5];
    if (chunkFile->version < minVersion) return fail(LoadVersionTooOld);
    if (chunkFile->version > maxVersion) return fail(LoadVersionTooNew);
    chunkFile->entryCount = LittleEndianU16(entryCount.data());

    // An empty directory, or one that claims more than the file holds, is
    // bad data, not a lack of memory: refuse it before asking for any.
    const uint32_t directorySize = LittleEndianU32(directoryHeader.data() + DirectorySizeOffset);
    if (directorySize == 0 || static_cast<std::streamoff>(directorySize) > BytesAfterHeaders(chunkFile->file))
        return fail(LoadBadHeaders);
    chunkFile->directory.resize(directorySize);
    if (!ReadExactly(chunkFile->file, chunkFile->directory.data(), directorySize)) return fail(LoadBadHeaders);
    return chunkFile;
}

uint16_t FindChunk(ChunkFile& chunkFile, ChunkKey& key) {
    // A directory may name more entries than it holds; look at whole entries only.
    const size_t wholeEntries = chunkFile.directory.size() / DirectoryEntrySize;
    const size_t searched = std::min<size_t>(chunkFile.entryCount, wholeEntries);
    for (size_t i = 0; i < searched; ++i) {
        const uint8_t* entry = chunkFile.directory.data() + i * DirectoryEntrySize;
        if (std::memcmp(entry, key.data(), 4) != 0 || entry[4] != key[4]) continue;

        chunkFile.file.seekg(static_cast<std::streamoff>(LittleEndianU32(entry + 8)));
        if (!chunkFile.file) {
            chunkFile.file.clear();
            return 1;
        }
        return ReadExactly(chunkFile.file, key.data(), static_cast<std::streamsize>(key.size())) ? 0
                                                                                                  : 1;
    }
    return 1;
}

uint16_t ReadChunkBytes(ChunkFile& chunkFile, void* destination, uint32_t count) {
    if (count == 0) return 0;
    // Where streamsize is 32 bits wide (32-bit Windows) a count past its range cannot be read.
    if constexpr (sizeof(std::streamsize) <= sizeof(count)) {
        if (count > static_cast<uint32_t>(std::numeric_limits<std::streamsize>::max())) return 1;
    }
    return ReadExactly(chunkFile.file, destination, static_cast<std::streamsize>(count)) ? 0 : 1;
}

void CloseChunkFile(std::unique_ptr<ChunkFile> chunkFile) {
    // The file and the directory go with the record.
    chunkFile.reset();
}

uint16_t FindCurrentChunk(ChunkKey& key) {
    if (currentFile == nullptr) return 1;
    return FindChunk(*currentFile, key) == 0 ? 0 : 1;
}

uint16_t ReadCurrentBytes(void* destination, uint32_t count) {
    if (currentFile == nullptr) return 1;
    return ReadChunkBytes(*currentFile, destination, count);
}

void CopyBytes(const void* source, void* destination, int16_t count) {
    if (count > 0) std::memcpy(destination, source, static_cast<size_t>(count));
}

uint16_t LittleEndianU16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

uint32_t LittleEndianU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

int32_t LittleEndianI32(const uint8_t* bytes) {
    return static_cast<int32_t>(LittleEndianU32(bytes));
}
