#pragma once

#include <cstdint>
#include <vector>

#include "analysis/map_statistics.h"

// Label values other than the regular ones (0 to 253).
constexpr uint8_t OverflowLabel = 254;  // a given-up mass
constexpr uint8_t NoLabel = 255;        // not scanned, or no label could be freed

// Counts the water and land masses of mapSquares under header into the
// waterMassCount and landMassCount of examineResults. The labels stay
// readable in massLabels until the next run. Throws std::bad_alloc when its
// working memory cannot be had, which the examination reports as -10; the
// counts are then left as they were and nothing stays held.
void LabelMasses(const MapHeader& header);

// The labels of the last run, one per square of the map's grid.
const std::vector<uint8_t>& massLabels();

// Joins two different regular labels of one kind in every square scanned so
// far; returns the survivor, the smaller of the two.
uint8_t MergeMassLabels(uint8_t neighbourLabel, uint8_t runningLabel, uint16_t isWater);

// Hands out the label for a new mass at the square being scanned: 0 to 254,
// or NoLabel when no label can be freed.
uint8_t NewMassLabel(uint16_t isWater);

// Frees whatever working memory a run holds.
void ReleaseMassBuffers();
