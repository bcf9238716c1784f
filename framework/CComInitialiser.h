#pragma once
#include <objbase.h>

// Initialises COM for the constructing thread for the owner's lifetime.
class CComInitialiser {
public:
    CComInitialiser() : initialised(SUCCEEDED(CoInitialize(nullptr))) {}
    ~CComInitialiser() {
        if (initialised)
            CoUninitialize();
    }
    CComInitialiser(const CComInitialiser&) = delete;
    CComInitialiser& operator=(const CComInitialiser&) = delete;

private:
    bool initialised;
};
