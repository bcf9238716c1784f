#pragma once
#include <unknwn.h>
#include <utility>

// Owns one COM interface reference and releases it exactly once.
template <class T>
class CComPtr {
public:
    CComPtr() = default;
    // Takes over a reference the caller already owns.
    explicit CComPtr(T* owned) : pointer(owned) {}
    CComPtr(const CComPtr& other) : pointer(other.pointer) {
        if (pointer)
            pointer->AddRef();
    }
    CComPtr(CComPtr&& other) noexcept : pointer(std::exchange(other.pointer, nullptr)) {}
    CComPtr& operator=(CComPtr other) noexcept {
        std::swap(pointer, other.pointer);
        return *this;
    }
    ~CComPtr() { Reset(); }

    // Adds a reference of its own to a pointer it does not own.
    static CComPtr Share(T* borrowed) {
        if (borrowed)
            borrowed->AddRef();
        return CComPtr(borrowed);
    }

    T* Get() const { return pointer; }
    T* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

    // For out-parameters: releases what is held first.
    T** Receive() {
        Reset();
        return &pointer;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    T* Detach() { return std::exchange(pointer, nullptr); }
    void Reset() {
        if (T* held = std::exchange(pointer, nullptr))
            held->Release();
    }

    template <class Q>
    CComPtr<Q> As(REFIID iid) const {
        CComPtr<Q> result;
        if (pointer)
            pointer->QueryInterface(iid, result.ReceiveVoid());
        return result;
    }

private:
    T* pointer = nullptr;
};
