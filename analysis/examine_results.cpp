#include "analysis/examine_results.h"

ExamineResults examineResults;
