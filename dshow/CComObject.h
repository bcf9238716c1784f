#pragma once
#include <unknwn.h>

// A COM object of one interface besides IUnknown: answers QueryInterface
// for both and counts references. The last Release calls LastReleased,
// which deletes the object unless a class decides otherwise.
template <class Interface, const IID* InterfaceId> class CComObject : public Interface {
  public:
    CComObject() = default;
    virtual ~CComObject() = default;
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == *InterfaceId) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }
    // Nothing of the object is touched after LastReleased.
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references);
        if (left == 0)
            LastReleased();
        return left;
    }

  protected:
    virtual void LastReleased() { delete this; }
    void SetReferences(LONG count) { references = count; }

  private:
    LONG references = 0;
};
