#pragma once

// The reference count and QueryInterface of the program's own COM objects:
// each starts with one reference, deletes itself when Release takes the
// last, and answers IUnknown, its interface and the further interfaces it
// names (the bases its interface derives from, such as ISequentialStream
// for IStream). It needs the COM base types and nothing more; a source that
// calls the platform itself includes the platform's headers.

#include <objbase.h>

template <typename Interface, typename... Bases>
class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(Interface))
            && !(IsEqualIID(iid, __uuidof(Bases)) || ...)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refCount)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_refCount);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    LONG m_refCount = 1;
};
