#include "unknown.h"

LONG g_ObjectCount = 0;
LONG g_LockCount = 0;

CUnknown::CUnknown(IUnknown* outer) : m_Outer(outer ? outer : this), m_RefCount(0)
{
    InterlockedIncrement(&g_ObjectCount);
}

CUnknown::~CUnknown() { InterlockedDecrement(&g_ObjectCount); }

HRESULT CUnknown::QueryInterface(REFIID iid, void** out) { return NonDelegatingQueryInterface(iid, out); }

HRESULT CUnknown::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown)) {
        IUnknown* unknown = this;
        *out = unknown;
        unknown->AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG CUnknown::AddRef()
{
    LONG count = InterlockedIncrement(&m_RefCount);
    return static_cast<ULONG>(count > 1 ? count : 1);
}

ULONG CUnknown::Release()
{
    LONG count = InterlockedDecrement(&m_RefCount);
    if (count == 0) {
        // Anything the object does to itself while it goes cannot free it twice.
        m_RefCount = 1;
        delete this;
        return 0;
    }
    return static_cast<ULONG>(count > 1 ? count : 1);
}
