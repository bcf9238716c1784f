#pragma once
#include "tags/CTagRecord.h"
#include <string>

// The cover an album's folder holds beside its tracks: cover, folder or
// front (in that order of preference) as .jpg, .jpeg or .png, in any letter
// case. Empty when there is none, or it is over 16 MB or unreadable.
CTagPicture FolderCover(const std::wstring& folder);
