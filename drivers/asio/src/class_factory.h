// The class table and the class factory that DllGetClassObject hands out.
#pragma once

#include <objbase.h>

#include "unknown.h"

// Makes an object of one class inside `outer` (may be null). `result` comes
// preset to S_OK; a creator that fails after making the object sets it.
using CreatorFunction = CUnknown* (*)(IUnknown* outer, HRESULT* result);

struct CFactoryTemplate {
    const WCHAR* m_Name;
    const CLSID* m_ClsID;
    CreatorFunction m_lpfnNew;
};

extern const CFactoryTemplate g_Templates[];
extern const int g_cTemplates;

// DllGetClassObject: the interface is checked first, then the class.
HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, LPVOID* out);

class CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(const CFactoryTemplate* entry) : m_Template(entry), m_RefCount(0) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    const CFactoryTemplate* m_Template;
    LONG m_RefCount;
};
