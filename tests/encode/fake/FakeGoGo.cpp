// A gogo.dll that records every call in the test executable's FakeGoGoHost
// and does what that record says. Built once complete and once without
// MPGE_getUnitStates or MPGE_closeCoder.
#include "FakeGoGoHost.h"
#include <algorithm>
#include <cstring>
#include <windows.h>

#define FAKE_API extern "C" GOGO_API

namespace {
FakeGoGoHost* Host() {
    auto state = reinterpret_cast<FakeGoGoHostStateProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "FakeGoGoHostState")));
    return state();
}

FakeGoGoCall& Record(const char* name, int item = 0, uintptr_t value1 = 0, uintptr_t value2 = 0) {
    FakeGoGoHost* host = Host();
    FakeGoGoCall& call = host->calls[std::min(host->callCount++, 63)];
    call = FakeGoGoCall{};
    std::strncpy(call.name, name, sizeof call.name - 1);
    call.item = item;
    call.value1 = value1;
    call.value2 = value2;
    call.outputFileFound =
        host->watchedPath && GetFileAttributesW(host->watchedPath) != INVALID_FILE_ATTRIBUTES;
    return call;
}

void ReadInput(FakeGoGoHost* host) {
    static unsigned char buffer[1 << 16];
    unsigned long length = std::min<unsigned long>(host->frameBytes, sizeof buffer);
    std::memset(buffer, 0xAA, length); // so that the zero fill shows
    host->lastInputResult = host->input(buffer, length);
    size_t kept = std::min<size_t>(length, host->sinkCapacity - host->sinkSize);
    if (host->sink)
        std::memcpy(host->sink + host->sinkSize, buffer, kept);
    host->sinkSize += host->sink ? kept : 0;
}
} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        ++Host()->attachCount;
    return TRUE;
}

FAKE_API int MPGE_initializeWork() {
    Record("initializeWork");
    return Host()->initializeResult;
}

FAKE_API int MPGE_setConfigure(int item, uintptr_t value1, uintptr_t value2) {
    FakeGoGoCall& call = Record("setConfigure", item, value1, value2);
    if (item == GOGO_ITEM_INPUT) {
        call.input = *reinterpret_cast<const GOGO_INPUT*>(value2);
        Host()->input = call.input.read;
    } else if (item == GOGO_ITEM_OUTPUT) {
        Host()->output = reinterpret_cast<GOGO_OUTPUT_FUNC>(value2);
    }
    return 0;
}

FAKE_API int MPGE_getConfigure(int item, uintptr_t*, uintptr_t*) {
    Record("getConfigure", item);
    return 0;
}

FAKE_API int MPGE_detectConfigure() {
    Record("detectConfigure");
    return Host()->detectResult;
}

FAKE_API int MPGE_processFrame() {
    Record("processFrame");
    FakeGoGoHost* host = Host();
    if (host->frameBytes)
        ReadInput(host);
    static const char frame[256] = "frame";
    if (host->frameOutput)
        if (int result = host->output(const_cast<char*>(frame), host->frameOutput))
            return result;
    return host->frameResult;
}

#ifndef FAKE_GOGO_WITHOUT_CLOSE_CODER
FAKE_API int MPGE_closeCoder() {
    Record("closeCoder");
    FakeGoGoHost* host = Host();
    if (host->output) {
        host->rewindResult = host->output(nullptr, 0);
        host->output(const_cast<char*>("HEAD"), 4);
    }
    return host->closeResult;
}
#endif

FAKE_API int MPGE_endCoder() {
    Record("endCoder");
    return Host()->endResult;
}

FAKE_API int MPGE_getVersion(unsigned long*, char*, unsigned long) {
    Record("getVersion");
    return 0;
}

#ifndef FAKE_GOGO_WITHOUT_UNIT_STATES
FAKE_API int MPGE_getUnitStates(unsigned long*) {
    Record("getUnitStates");
    return 0;
}
#endif
