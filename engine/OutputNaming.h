#pragma once
#include "engine/COutputFormat.h"
#include "engine/CPendingOutput.h"
#include <string>
#include <vector>

// The output type's extension; empty for a type outside the list.
std::wstring OutputExtension(int type);

// The output path when Convert is pressed: an empty output follows the
// input; the extension is forced to the type's; an output that would be the
// input itself (ignoring letter case, or through another spelling of the
// same existing file) becomes <input stem>_conv<extension>.
// A type outside the list leaves the output as it is (or the input when empty).
std::wstring DecideOutputPath(int type, const std::wstring& input, const std::wstring& output);

// In a batch every file of the folder is the user's: when the decided
// output exists already (or is among the names taken), the first free name
// of <input stem>_conv<ext>, <input stem>_conv2<ext>, <input stem>_conv3<ext>, ...
std::wstring UnusedOutputPath(const std::wstring& input, const std::wstring& decided,
                              const std::vector<std::wstring>& taken = {});

// A batch output whose name has been taken since it was chosen moves on to
// the first free name, as if that name had been taken from the start; it
// also avoids the batch's own names (reserved).
NextFreeName BatchNextFreeName(const std::wstring& input, std::vector<std::wstring> reserved = {});

// The output path for a dropped input: its stem with the type's extension,
// or the current output for a type outside the list.
std::wstring DroppedOutputPath(int type, const std::wstring& input, const std::wstring& output);
