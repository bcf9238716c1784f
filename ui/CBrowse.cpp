#include "CBrowse.h"
#include "framework/CComInitialiser.h"
#include <memory>

#include <shlobj.h>

namespace {

struct ItemDeleter {
    void operator()(ITEMIDLIST* item) const { CoTaskMemFree(item); }
};

} // namespace

std::wstring CBrowse::Browse(const std::wstring& initial, HWND owner) {
    // The chooser's new style needs COM on the calling thread.
    CComInitialiser com;
    initialFolder = initial;
    wchar_t displayName[520] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = L"フォルダの選択";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = ChooserEvent;
    info.lParam = reinterpret_cast<LPARAM>(this);
    std::unique_ptr<ITEMIDLIST, ItemDeleter> item(SHBrowseForFolderW(&info));
    if (!item)
        return initialFolder;
    wchar_t path[520] = {};
    if (!SHGetPathFromIDListW(item.get(), path))
        return initialFolder;
    std::wstring chosen = path;
    while (!chosen.empty() && chosen.back() == L'\\')
        chosen.pop_back();
    return chosen;
}

void CBrowse::OnBrowseInit(HWND chooser) {
    SendMessageW(chooser, BFFM_SETSELECTIONW, TRUE,
                 reinterpret_cast<LPARAM>(initialFolder.c_str()));
}

int CALLBACK CBrowse::ChooserEvent(HWND chooser, UINT event, LPARAM, LPARAM self) {
    try {
        if (event == BFFM_INITIALIZED)
            reinterpret_cast<CBrowse*>(self)->OnBrowseInit(chooser);
    } catch (...) {
        // Nothing may unwind through the chooser.
    }
    return 0;
}
