#include "class_factory.h"

#include <new>

#include "asio_driver.h"
#include "driver_identity.h"

const CFactoryTemplate g_Templates[] = {
    {u"ASIOZAVO", &CLSID_AsioZavo, CAsioDriver::CreateInstance},
};
const int g_cTemplates = sizeof g_Templates / sizeof g_Templates[0];

HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, LPVOID* out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    for (int i = 0; i < g_cTemplates; ++i) {
        if (!IsEqualCLSID(clsid, *g_Templates[i].m_ClsID)) continue;
        CClassFactory* factory = new (std::nothrow) CClassFactory(&g_Templates[i]);
        if (!factory) return E_OUTOFMEMORY;
        *out = static_cast<IClassFactory*>(factory);
        factory->AddRef();
        return S_OK;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CClassFactory::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG CClassFactory::AddRef() { return static_cast<ULONG>(++m_RefCount); }

ULONG CClassFactory::Release()
{
    if (--m_RefCount == 0) {
        delete this;
        return 0;
    }
    return static_cast<ULONG>(m_RefCount);
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    // An aggregate asks for the inner object's own unknown and nothing else.
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;

    HRESULT result = S_OK;
    CUnknown* object = m_Template->m_lpfnNew(outer, &result);
    if (!object) return E_OUTOFMEMORY;
    if (FAILED(result)) {
        delete object;
        return result;
    }
    // The count goes to 1 around the question, so that a refused interface
    // leaves it at 0 again and the object goes with the Release.
    IUnknown* unknown = object;
    unknown->AddRef();
    result = unknown->QueryInterface(iid, out);
    unknown->Release();
    return result;
}

HRESULT CClassFactory::LockServer(BOOL lock)
{
    if (lock)
        ++g_LockCount;
    else
        --g_LockCount;
    return S_OK;
}
