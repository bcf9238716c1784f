#pragma once
#include "framework/CDialog.h"
#include "framework/CHandleOwner.h"
#include <string>

// The resource library with the settings dialogs' templates, icons and
// string pairs. A missing library is not an error: its strings read empty,
// its icons null, and its dialogs do not appear.
class CResDllHandle {
  public:
    explicit CResDllHandle(const wchar_t* name);
    virtual ~CResDllHandle() = default;

    bool Load(const wchar_t* path);
    void Free();
    HMODULE GetModule() const { return module.Get(); }

    HICON LoadIcon(UINT id) const;
    // At most 259 characters; empty without the library or the ID.
    std::wstring LoadString(UINT id) const;
    // The dialog's end code, or -1 when the library or the template is missing.
    INT_PTR RunDialog(CDialog& dialog, UINT templateId) const;

  private:
    CModuleOwner module;
};

// Loaded with the plain name "Res.dll" during static initialisation, so the
// system's search order applies: the executable's folder first.
extern CResDllHandle ResDllHandle;
