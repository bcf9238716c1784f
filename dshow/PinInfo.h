#pragma once
#include <dshow.h>

// What any pin answers about itself, shared by our filters' pins.

// Fills the pin's information; the filter gains a reference for the caller.
HRESULT QueryPinInfoOf(IBaseFilter& filter, PIN_DIRECTION direction, const wchar_t* name,
                       PIN_INFO* info);
// A copy of the text in task memory, which the caller frees (a pin's id, a file's name).
HRESULT CopyToTaskMemory(const wchar_t* text, LPWSTR* copy);
