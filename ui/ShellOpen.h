#pragma once
#include <string>

// Opens a file or web address with the shell's "open" verb on a short-lived
// worker thread of below-normal priority. The caller does not wait, and a
// missing file or a shell failure is not reported.
void OpenInBackground(const std::wstring& target);
