#include "CResDllHandle.h"

CResDllHandle ResDllHandle(L"Res.dll");

CResDllHandle::CResDllHandle(const wchar_t* name) { Load(name); }

bool CResDllHandle::Load(const wchar_t* path) {
    Free();
    module.Reset(LoadLibraryW(path));
    return static_cast<bool>(module);
}

void CResDllHandle::Free() { module.Reset(); }

HICON CResDllHandle::LoadIcon(UINT id) const {
    return module ? ::LoadIconW(module.Get(), MAKEINTRESOURCEW(id)) : nullptr;
}

std::wstring CResDllHandle::LoadString(UINT id) const {
    if (!module)
        return std::wstring();
    wchar_t buffer[260] = {};
    int length = ::LoadStringW(module.Get(), id, buffer, 260);
    return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

INT_PTR CResDllHandle::RunDialog(CDialog& dialog, UINT templateId) const {
    if (!module)
        return -1;
    HRSRC found = FindResourceW(module.Get(), MAKEINTRESOURCEW(templateId), RT_DIALOG);
    if (!found)
        return -1;
    HGLOBAL loaded = LoadResource(module.Get(), found);
    auto* dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    if (!dialogTemplate)
        return -1;
    // Icons named in the template are the library's own.
    return dialog.RunModalIndirect(dialogTemplate, nullptr, module.Get());
}
