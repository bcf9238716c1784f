#pragma once
#include <string>
#include <vector>

// The files of a folder as a batch converts them: every file directly in it
// (no folders, none of our temporary files), as full paths, in
// case-insensitive ascending order. A trailing backslash is allowed; an
// empty or missing folder has none.
std::vector<std::wstring> FolderFiles(const std::wstring& folder);

// The same with every folder below it: a folder's own files first, then its
// folders in the same order, each walked the same way. A folder reached a
// second time (through a link, a junction or a symbolic link) is not walked
// again, and neither is leaveOut (the output folder, when it lies inside).
std::vector<std::wstring> FolderTree(const std::wstring& folder, const std::wstring& leaveOut);

// Whether a file is plainly not audio by its extension: a picture, a text,
// a cue sheet, a rip log, a playlist, a document or an archive, as an album
// folder holds them beside its tracks.
bool IsPlainlyNotAudio(const std::wstring& path);
