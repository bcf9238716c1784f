#pragma once
#include <windows.h>

// A recursive lock over a Win32 critical section: a filter's own thread may
// re-enter it while a downstream call comes back into the filter.
// lock()/unlock() are spelled for std::lock_guard.
class CCriticalSection {
  public:
    CCriticalSection() { InitializeCriticalSection(&section); }
    ~CCriticalSection() { DeleteCriticalSection(&section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void lock() { EnterCriticalSection(&section); }
    void unlock() { LeaveCriticalSection(&section); }

  private:
    CRITICAL_SECTION section;
};
