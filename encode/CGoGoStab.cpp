#include "CGoGoStab.h"
#include <atomic>

namespace {
const wchar_t* const kRegistryKey = L"Software\\MarineCat\\GOGO_DLL";

template <class Proc> void Bind(HMODULE module, const char* name, Proc* proc) {
    *proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void ShowBox(const wchar_t* text) { MessageBoxW(nullptr, text, nullptr, MB_OK); }

std::atomic<CGoGoStab::Notice> notice{ShowBox};

int Tell(const wchar_t* text, bool tellUser) {
    if (tellUser)
        notice.load()(text);
    return -2;
}
} // namespace

void CGoGoStab::SetNotice(Notice given) { notice = given ? given : ShowBox; }

int CGoGoStab::Load(bool tellUser) {
    bool loadedNow = false;
    if (!library) {
        library.Reset(LoadLibraryW(L"gogo.dll"));
        if (!library)
            library.Reset(LoadFromRegistry());
        loadedNow = static_cast<bool>(library);
    }
    if (!library)
        return Tell(L"It failed in reading GOGO.DLL", tellUser);
    if (loadedNow)
        LookUpEntryPoints();
    if (!IsComplete()) {
        library.Reset();
        Forget();
        return Tell(L"Gogo.DLL was not correct.", tellUser);
    }
    return MPGE_initializeWork();
}

bool CGoGoStab::HasThreadEncoders() const {
    uintptr_t own = 0, unused = 0;
    return MPGE_getConfigure &&
           MPGE_getConfigure(GOGO_ITEM_THREAD_ENCODERS, &own, &unused) == GOGO_OK && own == 1;
}

HMODULE CGoGoStab::LoadFromRegistry() {
    CRegKeyOwner key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRegistryKey, 0, KEY_ALL_ACCESS, key.Receive()) !=
        ERROR_SUCCESS)
        return nullptr;
    // 528 bytes, plus a terminator of our own: the registry does not promise one.
    wchar_t path[264 + 1] = {};
    DWORD size = 528;
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.Get(), L"INSTPATH", nullptr, &type, reinterpret_cast<BYTE*>(path),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return nullptr;
    return LoadLibraryW(path);
}

void CGoGoStab::LookUpEntryPoints() {
    HMODULE module = library.Get();
    Bind(module, "MPGE_initializeWork", &MPGE_initializeWork);
    Bind(module, "MPGE_setConfigure", &MPGE_setConfigure);
    Bind(module, "MPGE_getConfigure", &MPGE_getConfigure);
    Bind(module, "MPGE_detectConfigure", &MPGE_detectConfigure);
    Bind(module, "MPGE_processFrame", &MPGE_processFrame);
    Bind(module, "MPGE_closeCoder", &MPGE_closeCoder);
    Bind(module, "MPGE_endCoder", &MPGE_endCoder);
    Bind(module, "MPGE_getVersion", &MPGE_getVersion);
    Bind(module, "MPGE_getUnitStates", &MPGE_getUnitStates);
}

// MPGE_closeCoder is optional: its wrapper stands in for it.
bool CGoGoStab::IsComplete() const {
    return MPGE_initializeWork && MPGE_setConfigure && MPGE_getConfigure && MPGE_detectConfigure &&
           MPGE_processFrame && MPGE_endCoder && MPGE_getVersion && MPGE_getUnitStates;
}

void CGoGoStab::Forget() {
    MPGE_initializeWork = nullptr;
    MPGE_setConfigure = nullptr;
    MPGE_getConfigure = nullptr;
    MPGE_detectConfigure = nullptr;
    MPGE_processFrame = nullptr;
    MPGE_closeCoder = nullptr;
    MPGE_endCoder = nullptr;
    MPGE_getVersion = nullptr;
    MPGE_getUnitStates = nullptr;
}

void CGoGoStab::Unload() {
    if (!MPGE_endCoder)
        return;
    if (MPGE_endCoder() == 0)
        library.Reset();
    else
        library.Detach(); // a coder that cannot end stays loaded until the process ends
    Forget();
}

int CGoGoStab::SetConfigure(int item, uintptr_t value1, uintptr_t value2) {
    return MPGE_setConfigure ? MPGE_setConfigure(item, value1, value2) : -2;
}

int CGoGoStab::DetectConfigure() { return MPGE_detectConfigure ? MPGE_detectConfigure() : -2; }

int CGoGoStab::ProcessFrame() { return MPGE_processFrame ? MPGE_processFrame() : -2; }

int CGoGoStab::CloseCoder() { return MPGE_closeCoder ? MPGE_closeCoder() : -2; }
