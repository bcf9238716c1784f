#pragma once
#include "WMFactory.h"
#include "framework/CHandleOwner.h"

// wmvcore.dll, bound at run time: mingw has no import library for it, and
// the program must start where it is missing. Objects made through the
// factory must be released before their library owner goes.
class CWMVCoreLibrary {
  public:
    CWMVCoreLibrary() = default;
    // Uses the given entry points and never loads the library.
    explicit CWMVCoreLibrary(const WMFactory& given);
    CWMVCoreLibrary(const CWMVCoreLibrary&) = delete;
    CWMVCoreLibrary& operator=(const CWMVCoreLibrary&) = delete;

    // Binds on first use; an entry stays null when the library or its export is missing.
    const WMFactory& Factory();

  private:
    CModuleOwner module;
    WMFactory factory;
    bool bound = false;
};
