// The library's entry points over one process-wide configuration and coder.
#include "gogo.h"
#include "CGoGoCoder.h"
#include "CGoGoConfig.h"
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <windows.h>

namespace {
CGoGoConfig config;
std::unique_ptr<CGoGoCoder> coder;

const unsigned long kVersion = 0x0100;

// Nothing may unwind into the caller, which may not be C++ at all.
template <class Action> int Guarded(Action action) noexcept {
    try {
        return action();
    } catch (const std::bad_alloc&) {
        return GOGO_ERR_MEMORY;
    } catch (...) {
        return GOGO_ERR_ENCODER;
    }
}

int Reset() {
    coder.reset();
    config = CGoGoConfig();
    return GOGO_OK;
}

int Start() {
    if (coder)
        return GOGO_ERR_ORDER;
    if (int result = config.Check())
        return result;
    auto started = std::make_unique<CGoGoCoder>();
    if (int result = started->Open(config))
        return result;
    coder = std::move(started);
    return GOGO_OK;
}

int Finish() {
    if (!coder)
        return GOGO_ERR_ORDER;
    int result = coder->Close();
    coder.reset();
    return result;
}
} // namespace

extern "C" {

GOGO_API int GOGO_CALL MPGE_initializeWork(void) { return Guarded(Reset); }

GOGO_API int GOGO_CALL MPGE_setConfigure(int item, uintptr_t value1, uintptr_t value2) {
    return Guarded([&] { return coder ? GOGO_ERR_ORDER : config.Set(item, value1, value2); });
}

GOGO_API int GOGO_CALL MPGE_getConfigure(int item, uintptr_t* value1, uintptr_t* value2) {
    return Guarded([&] { return config.Get(item, value1, value2); });
}

GOGO_API int GOGO_CALL MPGE_detectConfigure(void) { return Guarded(Start); }

GOGO_API int GOGO_CALL MPGE_processFrame(void) {
    return Guarded([] { return coder ? coder->ProcessFrame() : GOGO_ERR_ORDER; });
}

GOGO_API int GOGO_CALL MPGE_closeCoder(void) { return Guarded(Finish); }

GOGO_API int GOGO_CALL MPGE_endCoder(void) { return Guarded(Reset); }

GOGO_API int GOGO_CALL MPGE_getVersion(unsigned long* version, char* text, unsigned long textSize) {
    if (version)
        *version = kVersion;
    if (text && textSize > 0) {
        std::string description = std::string("gogo.dll 1.0, LAME ") + get_lame_version();
        std::strncpy(text, description.c_str(), textSize - 1);
        text[textSize - 1] = '\0';
    }
    return GOGO_OK;
}

GOGO_API int GOGO_CALL MPGE_getUnitStates(unsigned long* units) {
    if (!units)
        return GOGO_ERR_VALUE;
    *units = __builtin_cpu_supports("sse2") ? GOGO_UNIT_SSE2 : 0;
    return GOGO_OK;
}
}
