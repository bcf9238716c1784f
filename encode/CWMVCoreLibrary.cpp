#include "CWMVCoreLibrary.h"

namespace {

// A function pointer of type void(*)() converts to any other without a
// cast-function-type warning; FARPROC does not.
template <class Fn> Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

} // namespace

CWMVCoreLibrary::CWMVCoreLibrary(const WMFactory& given) : factory(given), bound(true) {}

const WMFactory& CWMVCoreLibrary::Factory() {
    if (bound)
        return factory;
    bound = true;
    module.Reset(LoadLibraryW(L"wmvcore.dll"));
    if (module) {
        factory.createWriter = Export<WMFactory::CreateWriterFn>(module.Get(), "WMCreateWriter");
        factory.createProfileManager =
            Export<WMFactory::CreateProfileManagerFn>(module.Get(), "WMCreateProfileManager");
    }
    return factory;
}
