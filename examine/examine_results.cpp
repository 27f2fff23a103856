#include "examine/examine_results.h"

ExamineResults examineResults;
