#pragma once
#include <dshow.h>

// What any pin answers about itself, shared by our filters' pins.

// Fills the pin's information; the filter gains a reference for the caller.
HRESULT QueryPinInfoOf(IBaseFilter& filter, PIN_DIRECTION direction, const wchar_t* name,
                       PIN_INFO* info);
// The connection's type for ConnectionMediaType: a copy of type when the
// pin is connected, else an empty result and VFW_E_NOT_CONNECTED.
HRESULT CopyConnectionType(bool connected, const AM_MEDIA_TYPE& type, AM_MEDIA_TYPE* result);
// A copy of the text in task memory, which the caller frees (a pin's id, a file's name).
HRESULT CopyToTaskMemory(const wchar_t* text, LPWSTR* copy);
