// The examination core's labelling entry points done the literal way, so that
// a whole examination can be timed with it.

#include "analysis/mass_labelling.h"
#include "examine/examine_results.h"
#include "literal_labelling.h"

namespace {
std::vector<uint8_t> labels;
}

const std::vector<uint8_t>& massLabels() { return labels; }

void ReleaseMassBuffers() { std::vector<uint8_t>().swap(labels); }

uint16_t LabelMasses(const MapHeader& header) {
    LiteralMasses masses = LabelMassesLiterally(header, mapSquares.data());
    examineResults.waterMassCount = masses.waterMassCount;
    examineResults.landMassCount = masses.landMassCount;
    labels = std::move(masses.labels);
    return 0;
}
