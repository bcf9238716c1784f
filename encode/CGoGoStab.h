#pragma once
#include "framework/CHandleOwner.h"
#include "gogo/gogo.h"

// Loads the MP3 encoder library "gogo.dll" at run time and calls its entry
// points. Found by the normal library search, else through the path in the
// registry value "INSTPATH" of HKCU\Software\MarineCat\GOGO_DLL.
class CGoGoStab {
  public:
    CGoGoStab() = default;
    ~CGoGoStab() { Unload(); }
    CGoGoStab(const CGoGoStab&) = delete;
    CGoGoStab& operator=(const CGoGoStab&) = delete;

    // 0, or -2 when the library is missing or incomplete (after telling the
    // user, unless only asked quietly), or the non-zero result of
    // MPGE_initializeWork.
    int Load(bool tellUser = true);
    // How the user is told: a message box, unless a program without
    // windows gives a function of its own.
    using Notice = void (*)(const wchar_t* text);
    static void SetNotice(Notice notice);
    // Ends the coder; the library is released only when MPGE_endCoder agrees.
    void Unload();

    // Whether the loaded library keeps an encoder for every calling thread,
    // so that conversions may run side by side (a query of our own library).
    bool HasThreadEncoders() const;

    // The entry point's result, or -2 when it is missing.
    int SetConfigure(int item, uintptr_t value1, uintptr_t value2);
    int DetectConfigure();
    int ProcessFrame();
    int CloseCoder();

    MPGE_INITIALIZEWORK_PROC MPGE_initializeWork = nullptr;
    MPGE_SETCONFIGURE_PROC MPGE_setConfigure = nullptr;
    MPGE_GETCONFIGURE_PROC MPGE_getConfigure = nullptr;
    MPGE_DETECTCONFIGURE_PROC MPGE_detectConfigure = nullptr;
    MPGE_PROCESSFRAME_PROC MPGE_processFrame = nullptr;
    MPGE_CLOSECODER_PROC MPGE_closeCoder = nullptr;
    MPGE_ENDCODER_PROC MPGE_endCoder = nullptr;
    MPGE_GETVERSION_PROC MPGE_getVersion = nullptr;
    MPGE_GETUNITSTATES_PROC MPGE_getUnitStates = nullptr;

  private:
    static HMODULE LoadFromRegistry();
    void LookUpEntryPoints();
    bool IsComplete() const;
    void Forget();

    CModuleOwner library;
};
