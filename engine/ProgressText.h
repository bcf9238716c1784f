#pragma once
#include <string>

// The status line of a running conversion: "%3.0f %%" + " " +
// "(elapsed<separator>remaining)" with hh:mm:ss times. The remaining time is
// extrapolated from the work time so far and the percent done (0 while
// nothing is done); hours are not capped. prefix goes in front of the percent.
std::wstring ProgressText(double percent, unsigned workMilliseconds, const std::wstring& separator,
                          const std::wstring& prefix);
