#pragma once
#include "tags/CTagRecord.h"
#include <string>
#include <vector>

// A record as one line of text, its empty fields left out, so that a
// failing comparison shows every difference at once.
std::wstring Describe(const CTagRecord& record);
std::vector<unsigned char> FileBytes(const std::wstring& path);
