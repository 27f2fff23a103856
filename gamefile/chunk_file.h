#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "gamefile/load_status.h"

// A chunk's name on input (tag in bytes 0 to 3, number in byte 4, the rest
// ignored); a successful lookup replaces all 12 bytes with the chunk's header.
using ChunkKey = std::array<uint8_t, 12>;

// Builds a fresh key for a lookup: the four tag letters and the chunk number.
ChunkKey MakeChunkKey(const char (&tag)[5], uint8_t number);

// One open game file. It owns the file and the directory; destroying it
// (CloseChunkFile) releases both.
struct ChunkFile {
    std::ifstream file;
    std::vector<uint8_t> directory;
    uint16_t entryCount = 0;
    uint8_t version = 0;
    uint8_t headerByte5 = 0;
};

// Opens the game file at path (UTF-8 text), which must carry typeTag and a version byte
// from minVersion to maxVersion, and loads its directory. Returns the open
// file with status 0, or nothing with the status of the first failure
// (-11 to -15); a failed open holds nothing. Throws std::bad_alloc when
// memory cannot be had, which the examination reports as -10.
std::unique_ptr<ChunkFile> OpenChunkFile(const std::string& path, const char (&typeTag)[5],
                                         uint8_t minVersion, uint8_t maxVersion,
                                         LoadStatus& status);

// Looks up the first directory entry with the key's tag and number, moves the
// file to the chunk and reads its 12-byte header into key. Returns 0 with the
// file positioned at the chunk's data, or 1; the file stays open either way,
// and a key whose chunk is missing is left as it was.
uint16_t FindChunk(ChunkFile& chunkFile, ChunkKey& key);

// Reads exactly count bytes from the current position into destination.
// Returns 0 when all arrived, 1 otherwise (what did arrive stays there).
// Reads are not bounded by the chunk, only by the end of the file.
uint16_t ReadChunkBytes(ChunkFile& chunkFile, void* destination, uint32_t count);

// Closes the file and frees the directory.
void CloseChunkFile(std::unique_ptr<ChunkFile> chunkFile);

// The examination's open file, set by the driver between its open and its
// close; the analysis reads the file only through the two calls below.
extern ChunkFile* currentFile;

// FindChunk and ReadChunkBytes on currentFile; 1 when there is none.
uint16_t FindCurrentChunk(ChunkKey& key);
uint16_t ReadCurrentBytes(void* destination, uint32_t count);

// Copies count bytes from source to destination (source first); a count
// below 1 copies nothing.
void CopyBytes(const void* source, void* destination, int16_t count);

// Little-endian values out of byte buffers, independent of the host's order.
uint16_t LittleEndianU16(const uint8_t* bytes);
uint32_t LittleEndianU32(const uint8_t* bytes);
int32_t LittleEndianI32(const uint8_t* bytes);
