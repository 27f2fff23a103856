#pragma once

#include <cstdint>

// The outcome of an open or an analysis step: 0 for success, a negative code
// for the first failure. The driver turns a failure into the user's message.
using LoadStatus = int16_t;

constexpr LoadStatus LoadSucceeded = 0;
constexpr LoadStatus LoadUnknownKind = -1;        // the type tag names no kind
constexpr LoadStatus LoadChunkUnreadable = -2;    // a chunk is missing or its data comes up short
constexpr LoadStatus LoadNoCityMemory = -4;       // no memory for the city records
constexpr LoadStatus LoadNoMemory = -10;          // no memory while opening or labelling
constexpr LoadStatus LoadCannotOpen = -11;        // the file cannot be opened for reading
constexpr LoadStatus LoadBadHeaders = -12;        // short or unusable headers or directory
constexpr LoadStatus LoadWrongTag = -13;          // the file is of another type
constexpr LoadStatus LoadVersionTooOld = -14;     // version below the accepted range
constexpr LoadStatus LoadVersionTooNew = -15;     // version above the accepted range
