// The library's entry points over one configuration and coder per calling
// thread.
#include "gogo.h"
#include "CGoGoCoder.h"
#include "CGoGoConfig.h"
#include <lame/lame.h>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <windows.h>

namespace {
struct Encoder {
    CGoGoConfig config;
    std::unique_ptr<CGoGoCoder> coder;
};

// Each thread's encoder; the lock guards the map, never an encoder, which
// only its own thread touches.
SRWLOCK encodersLock = SRWLOCK_INIT;
std::map<DWORD, std::unique_ptr<Encoder>> encoders;

const unsigned long kVersion = 0x0102;

class CEncodersLock {
  public:
    CEncodersLock() { AcquireSRWLockExclusive(&encodersLock); }
    ~CEncodersLock() { ReleaseSRWLockExclusive(&encodersLock); }
    CEncodersLock(const CEncodersLock&) = delete;
    CEncodersLock& operator=(const CEncodersLock&) = delete;
};

// The calling thread's encoder, made on its first call.
Encoder& ThisThread() {
    CEncodersLock held;
    std::unique_ptr<Encoder>& slot = encoders[GetCurrentThreadId()];
    if (!slot)
        slot = std::make_unique<Encoder>();
    return *slot;
}

// The encoder is destroyed outside the lock.
void Forget(DWORD thread) {
    std::unique_ptr<Encoder> gone;
    CEncodersLock held;
    auto found = encoders.find(thread);
    if (found != encoders.end()) {
        gone = std::move(found->second);
        encoders.erase(found);
    }
}

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
    Forget(GetCurrentThreadId());
    return GOGO_OK;
}

int Start() {
    Encoder& encoder = ThisThread();
    if (encoder.coder)
        return GOGO_ERR_ORDER;
    if (int result = encoder.config.Check())
        return result;
    auto started = std::make_unique<CGoGoCoder>();
    if (int result = started->Open(encoder.config))
        return result;
    encoder.coder = std::move(started);
    return GOGO_OK;
}

int Finish() {
    Encoder& encoder = ThisThread();
    if (!encoder.coder)
        return GOGO_ERR_ORDER;
    int result = encoder.coder->Close();
    encoder.coder.reset();
    return result;
}

// The capabilities this library has: every one answers 1.
int GetItem(int item, uintptr_t* value1, uintptr_t* value2) {
    if (item != GOGO_ITEM_THREAD_ENCODERS && item != GOGO_ITEM_SPLIT_ENCODER)
        return ThisThread().config.Get(item, value1, value2);
    if (value1)
        *value1 = 1;
    if (value2)
        *value2 = 0;
    return GOGO_OK;
}
} // namespace

extern "C" {

GOGO_API int GOGO_CALL MPGE_initializeWork(void) { return Guarded(Reset); }

GOGO_API int GOGO_CALL MPGE_setConfigure(int item, uintptr_t value1, uintptr_t value2) {
    return Guarded([&] {
        Encoder& encoder = ThisThread();
        return encoder.coder ? GOGO_ERR_ORDER : encoder.config.Set(item, value1, value2);
    });
}

GOGO_API int GOGO_CALL MPGE_getConfigure(int item, uintptr_t* value1, uintptr_t* value2) {
    return Guarded([&] { return GetItem(item, value1, value2); });
}

GOGO_API int GOGO_CALL MPGE_detectConfigure(void) { return Guarded(Start); }

GOGO_API int GOGO_CALL MPGE_processFrame(void) {
    return Guarded([] {
        Encoder& encoder = ThisThread();
        return encoder.coder ? encoder.coder->ProcessFrame() : GOGO_ERR_ORDER;
    });
}

GOGO_API int GOGO_CALL MPGE_closeCoder(void) { return Guarded(Finish); }

GOGO_API int GOGO_CALL MPGE_endCoder(void) { return Guarded(Reset); }

GOGO_API int GOGO_CALL MPGE_getVersion(unsigned long* version, char* text, unsigned long textSize) {
    if (version)
        *version = kVersion;
    if (text && textSize > 0) {
        std::string description = std::string("gogo.dll 1.2, LAME ") + get_lame_version();
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

// A thread that ends without MPGE_endCoder leaves nothing behind.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_THREAD_DETACH)
        Forget(GetCurrentThreadId());
    return TRUE;
}
