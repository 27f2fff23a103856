#pragma once

#include <string>
#include <vector>

// Runs the examiner on the arguments after the program's name (UTF-8 text)
// and returns its exit status; no exception leaves it.
int ExamineCommandLine(const std::vector<std::string>& arguments);
