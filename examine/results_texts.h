#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/examine_results.h"

// The figures derived from a results record and the texts that show them,
// the same in the results dialog and in the command-line examiner.

// rows x columns.
int32_t TotalSquares(const ExamineResults& results);

// The average production efficiency, or nothing when there are no cities.
std::optional<int32_t> AverageProductionEfficiency(const ExamineResults& results);

// The share of the map of one class in whole percent, or nothing for a map
// without squares.
std::optional<int32_t> TerrainPercentage(const ExamineResults& results, int terrainClass);

std::string NumberText(int32_t value);
std::string WrapText(const ExamineResults& results);                  // "YES" or "NO"
std::string AverageProductionEfficiencyText(const ExamineResults& results);  // "-" without cities
std::string MassCountText(int32_t massCount);                         // ">255" for 255
std::string TerrainPercentageText(const ExamineResults& results, int terrainClass);  // "-" without squares

// "Results for Map File: world.map"
std::string ResultsTitle(const ExamineResults& results);

constexpr std::array<std::string_view, TerrainClassCount> TerrainClassNames{
    "City", "Water", "Clear", "Forest", "Mountain", "River", "Rough", "Edge"};

// A shown specialty or unit row: its label and the entry it shows.
struct CountRow {
    std::string_view label;
    int entry;
};

// City specialties in the order the results show them.
constexpr std::array<CountRow, 10> SpecialtyRows{{
    {"IN", 9}, {"AR", 10}, {"F", 11}, {"B", 12}, {"AC", 8},
    {"TR", 3}, {"DD", 4}, {"SS", 5}, {"CR", 6}, {"BB", 7}}};

// Rows of the players' unit table, top to bottom.
constexpr std::array<CountRow, 12> UnitRows{{
    {"City", 0}, {"IN", 9}, {"AR", 10}, {"F", 11}, {"B", 12}, {"TR", 3},
    {"DD", 4}, {"SS", 5}, {"CR", 6}, {"BB", 7}, {"AC", 8}, {"AB", 13}}};

// The labels and headings of the results, as the results dialog shows them.
constexpr std::string_view ColumnsLabel = "Number of Columns :";
constexpr std::string_view RowsLabel = "Number of Rows :";
constexpr std::string_view TotalSquaresLabel = "Total Squares :";
constexpr std::string_view WrapLabel = "Map Wrap :";
constexpr std::string_view AverageProductionEfficiencyLabel = "Avg City Prod Eff :";
constexpr std::string_view WaterMassesLabel = "Number of Water Masses:";
constexpr std::string_view LandMassesLabel = "Number of Land Masses:";
constexpr std::string_view SpecialtiesHeading = "City Specialties";
constexpr std::string_view TerrainHeading = "Terrain ";
constexpr std::string_view TerrainCountHeading = "Number";
constexpr std::string_view TerrainPercentageHeading = "% of Map";
constexpr std::string_view UnitCountsHeading = "Unit Counts";
constexpr std::string_view PlayerHeading = "Player";
constexpr std::array<std::string_view, PlayerCount> PlayerHeadings{"#1", "#2", "#3", "#4", "#5", "#6"};
