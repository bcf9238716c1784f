#pragma once
#include <windows.h>

// Holds a slim reader/writer lock exclusively for its scope.
class CSlimLockGuard {
  public:
    explicit CSlimLockGuard(SRWLOCK& lock) : lock(lock) { AcquireSRWLockExclusive(&lock); }
    ~CSlimLockGuard() { ReleaseSRWLockExclusive(&lock); }
    CSlimLockGuard(const CSlimLockGuard&) = delete;
    CSlimLockGuard& operator=(const CSlimLockGuard&) = delete;

  private:
    SRWLOCK& lock;
};
