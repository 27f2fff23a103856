#pragma once

// Game files with known figures, written at test time with the project's
// file maker. Each maker's comment gives the figures that its results show.

#include <string>

#include "filemaker/game_file_writer.h"

// driverSettings.filesFolder followed by a backslash and the name.
std::string FixturePath(const std::string& name);
// Writes the file (folders are not made); false when it cannot be written.
bool WriteFixture(const std::string& path, const filemaker::GameFile& file);

// 10 rows by 30 columns, wrap flag 0x80 ("YES"). Squares per class: City 2,
// Water 100, Clear 120, Forest 30, Mountain 20, River 15, Rough 10, Edge 3,
// so the percentages are 0, 33, 40, 10, 6, 5, 3 and 1. The water fills rows
// 1 to 3 and the start of row 4, the land the rest: one water mass and one
// land mass. 60 cities: specialty k (3 to 12) on k - 2 of them, one each of
// 0, 1, 2, 13 and 20; efficiencies 100, one of them 255, so the average is
// 6155 / 60 = 102.
filemaker::GameFile FiguresMap();

// 4 rows by 5 columns, all clear, no wrap ("NO"); three cities with
// efficiencies 50, 50 and 51 (average 50), specialties 3, 3 and 12.
filemaker::GameFile ThreeCitiesMap();

// 4 rows by 5 columns, all clear, no cities (average "-").
filemaker::GameFile CitylessMap();

// 40 rows by 40 columns of one kind with count single squares of the other
// kind in its odd rows and even columns, none touching another: count water
// squares in land (waterInLand) or land squares in water.
filemaker::GameFile SeparateSquaresMap(int count, bool waterInLand);

// Count k of player p: (p odd ? -1 : 1) * (1000 * (p + 1) + k), except
// player 0 count 0, 2147483647, and player 5 count 13, -2147483648.
filemaker::UnitTable KnownUnits();

// FiguresMap's squares and cities with KnownUnits as a scenario.
filemaker::GameFile FiguresScenario();

// FiguresMap's squares and cities with unit counts of the size that real
// scenarios have (player p, count k: (p + 1) * (k + 1) % 40), whose texts fit
// the unit table's narrow fields.
filemaker::GameFile ModestScenario();

// A sound map file that carries the version byte.
filemaker::GameFile MapWithVersion(int version);

// A scenario with sound MAPD and CITY chunks but no SCND chunk.
filemaker::GameFile ScenarioWithoutUnits();
