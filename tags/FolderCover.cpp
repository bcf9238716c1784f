#include "FolderCover.h"
#include "framework/CHandleOwner.h"
#include <fstream>
#include <iterator>
#include <windows.h>

namespace {

constexpr unsigned long long kMaxPictureBytes = 16ull << 20;

struct Candidate {
    int rank = 0; // lower is better; 0: none found
    std::wstring name;
    const char* mimeType = nullptr;
};

// The rank of a file's name as a folder cover, 0 for none.
int RankOf(const std::wstring& name, const char*& mimeType) {
    static const wchar_t* const stems[] = {L"cover", L"folder", L"front"};
    static const struct {
        const wchar_t* extension;
        const char* mimeType;
    } kinds[] = {{L".jpg", "image/jpeg"}, {L".jpeg", "image/jpeg"}, {L".png", "image/png"}};
    int rank = 1;
    for (const wchar_t* stem : stems)
        for (const auto& kind : kinds) {
            if (_wcsicmp(name.c_str(), (std::wstring(stem) + kind.extension).c_str()) == 0) {
                mimeType = kind.mimeType;
                return rank;
            }
            ++rank;
        }
    return 0;
}

} // namespace

CTagPicture FolderCover(const std::wstring& folder) {
    WIN32_FIND_DATAW found = {};
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\')
        base += L'\\';
    CFindHandle search(FindFirstFileW((base + L"*").c_str(), &found));
    if (!search)
        return {};
    Candidate best;
    do {
        const char* mimeType = nullptr;
        const int rank = RankOf(found.cFileName, mimeType);
        const unsigned long long size =
            (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        if (rank != 0 && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && size > 0 &&
            size <= kMaxPictureBytes && (best.rank == 0 || rank < best.rank))
            best = {rank, found.cFileName, mimeType};
    } while (FindNextFileW(search.Get(), &found));
    if (best.rank == 0)
        return {};
    std::ifstream file((base + best.name).c_str(), std::ios::binary);
    CTagPicture cover{best.mimeType, std::wstring(),
                      std::vector<unsigned char>(std::istreambuf_iterator<char>(file),
                                                 std::istreambuf_iterator<char>())};
    if (!file.good() && !file.eof())
        cover.data.clear();
    return cover;
}
