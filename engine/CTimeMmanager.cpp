#include "CTimeMmanager.h"
#include <mmsystem.h>

// Now() is virtual, but a base constructor only ever reaches the base
// clock; derived clocks call Start() again in their own constructor.
CTimeMmanager::CTimeMmanager() {
    Start();
    ClearTotal();
}

void CTimeMmanager::Start() { start = Now(); }

void CTimeMmanager::ClearTotal() { total = 0; }

void CTimeMmanager::SetLimit(DWORD ms) { limit = ms; }

LONG CTimeMmanager::AddElapsed() {
    total = static_cast<LONG>(static_cast<DWORD>(total) + Elapsed());
    return total;
}

LONG CTimeMmanager::GetTotal() const { return total; }

DWORD CTimeMmanager::Elapsed() const { return Now() - start; }

bool CTimeMmanager::IsOverLimit() const { return limit < Elapsed(); }

DWORD CTimeMmanager::Now() const { return timeGetTime(); }
