// CUnknown, the base of every COM object of the library, and the module's
// object and lock counts that decide whether the library may be unloaded.
#pragma once

#include <objbase.h>

// Objects alive (interlocked); class factories are not counted.
extern LONG g_ObjectCount;
// LockServer locks held (plain arithmetic, as the factory's own count).
extern LONG g_LockCount;

// The non-delegating unknown. An object made inside an aggregate forwards the
// IUnknown methods of its other interfaces to the outer object, which reaches
// the object's own counting and interfaces through this one.
class CUnknown : public IUnknown {
public:
    // `outer` null: the object is its own outer unknown.
    explicit CUnknown(IUnknown* outer);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) final;
    ULONG STDMETHODCALLTYPE AddRef() final;
    // At zero the object destroys itself, its count held at 1 meanwhile.
    ULONG STDMETHODCALLTYPE Release() final;

    virtual ~CUnknown();
    // IUnknown itself; objects answer their own interfaces first.
    virtual HRESULT NonDelegatingQueryInterface(REFIID iid, void** out);

    IUnknown* GetOwner() const { return m_Outer; }

private:
    IUnknown* m_Outer;
    LONG volatile m_RefCount;
};
