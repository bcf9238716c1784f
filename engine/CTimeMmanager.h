#pragma once
#include <windows.h>

// Millisecond time keeper over the multimedia clock: a start mark, a limit
// and an accumulated total. Differences use unsigned arithmetic so that the
// clock's wrap-around after 49.7 days does not disturb them.
class CTimeMmanager {
  public:
    CTimeMmanager();
    virtual ~CTimeMmanager() = default;

    virtual void Start();
    virtual void ClearTotal();
    virtual void SetLimit(DWORD ms);
    virtual LONG AddElapsed();
    virtual LONG GetTotal() const;
    virtual DWORD Elapsed() const;
    virtual bool IsOverLimit() const;

  protected:
    // The clock itself, replaceable so that long runs can be tested without waiting.
    virtual DWORD Now() const;

  private:
    DWORD start = 0;
    DWORD limit = 0;
    LONG total = 0;
};
