#pragma once

// Owns at most one polymorphic object and deletes it when replaced or destroyed.
template <class T> class CMemBuffClassBase {
  public:
    T* object = nullptr;

    CMemBuffClassBase() = default;
    CMemBuffClassBase(const CMemBuffClassBase&) = delete;
    CMemBuffClassBase& operator=(const CMemBuffClassBase&) = delete;
    virtual ~CMemBuffClassBase() { delete object; }

    virtual void Release() {
        T* held = object;
        object = nullptr;
        delete held;
    }

    // Takes ownership of p. Attaching the object already held keeps it
    // rather than deleting it under the caller.
    virtual void Attach(T* p) {
        if (p == object)
            return;
        Release();
        object = p;
    }
};
