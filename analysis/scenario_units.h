#pragma once

#include "gamefile/load_status.h"

// Copies the players' unit table out of currentFile's SCND chunk into the
// playerUnits of examineResults. Returns 0, or -2 when the chunk is missing or
// its 376 bytes cannot be read; playerUnits is then unchanged.
LoadStatus ReadScenarioUnits();
