#pragma once
#include "cli/CCommandLine.h"

// Every file of the folder as the batch converts them, up to jobs at a
// time: the outputs are named before any is written, as one conversion
// after another would name them, and each thread converts with writers of
// its own. Ctrl+C stops the running conversions and starts no more.
// 0 when all succeeded, else the first failure's number in the folder's order.
int ConvertFolder(const CCommandLine& line, const CAudioInfo& settings, int jobs);
