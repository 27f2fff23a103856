#include "examine/results_texts.h"

#include "examine/kind_texts.h"

int32_t TotalSquares(const ExamineResults& results) { return results.rows * results.columns; }

std::optional<int32_t> AverageProductionEfficiency(const ExamineResults& results) {
    if (results.cityCount == 0) return std::nullopt;
    // Unsigned division, the remainder dropped, as the game's own figure is.
    return static_cast<int32_t>(static_cast<uint32_t>(results.productionEfficiencySum) /
                                static_cast<uint32_t>(static_cast<int32_t>(results.cityCount)));
}

std::optional<int32_t> TerrainPercentage(const ExamineResults& results, int terrainClass) {
    const int32_t total = TotalSquares(results);
    if (total == 0) return std::nullopt;
    return results.terrainCounts[terrainClass] * 100 / total;
}

std::string NumberText(int32_t value) { return std::to_string(value); }

std::string WrapText(const ExamineResults& results) { return results.wraps != 0 ? "YES" : "NO"; }

std::string AverageProductionEfficiencyText(const ExamineResults& results) {
    const std::optional<int32_t> average = AverageProductionEfficiency(results);
    return average ? NumberText(*average) : "-";
}

std::string MassCountText(int32_t massCount) {
    // The count stops at 255, so 255 only says "more than the labels could hold".
    return massCount == 255 ? ">255" : NumberText(massCount);
}

std::string TerrainPercentageText(const ExamineResults& results, int terrainClass) {
    const std::optional<int32_t> percentage = TerrainPercentage(results, terrainClass);
    return percentage ? NumberText(*percentage) : "-";
}

std::string ResultsTitle(const ExamineResults& results) {
    std::string title = "Results for ";
    title.append(KindTextOf(results.kind).kindName)
        .append(" File: ")
        .append(results.fileName);
    return title;
}
