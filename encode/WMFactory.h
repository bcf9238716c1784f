#pragma once
#include <windows.h>

#include <wmsdkidl.h>

// The two entry points of wmvcore.dll the writer is built from. The program
// binds them at run time; tests hand in their own.
struct WMFactory {
    using CreateWriterFn = HRESULT(WINAPI*)(IUnknown* certificate, IWMWriter** writer);
    using CreateProfileManagerFn = HRESULT(WINAPI*)(IWMProfileManager** manager);

    CreateWriterFn createWriter = nullptr;
    CreateProfileManagerFn createProfileManager = nullptr;
};
