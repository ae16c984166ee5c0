// The card list: discovery through SetupAPI, and the wave driver's cards
// added one by one.
#include "daveror_list.h"

#include <new>
#include <string>

CDaverorList::CDaverorList() : m_DeviceSet(INVALID_HANDLE_VALUE), m_Count(0), m_Head(nullptr)
{
    try {
        Discover();
    } catch (...) {
        KeepOnly(nullptr);
        throw;
    }
}

CDaverorList::CDaverorList(Empty) : m_DeviceSet(INVALID_HANDLE_VALUE), m_Count(0), m_Head(nullptr) {}

CDaverorList::~CDaverorList() { KeepOnly(nullptr); }

void CDaverorList::Discover()
{
    m_DeviceSet = GetInterfaceSet();
    if (m_DeviceSet == INVALID_HANDLE_VALUE) return;
    for (DWORD i = 0;; ++i) {
        SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail = GetInterfaceDetail(m_DeviceSet, i);
        if (!detail) break;
        CDaveror* card;
        try {
            card = new CDaveror(detail->DevicePath, m_DeviceSet, i);
        } catch (...) {
            FreeInterfaceDetail(detail);
            throw;
        }
        FreeInterfaceDetail(detail);
        if (card->IsValid())
            Push(card);
        else
            delete card;
    }
}

void CDaverorList::Push(CDaveror* card)
{
    card->m_Next = m_Head;
    m_Head = card;
    ++m_Count;
}

CDaveror* CDaverorList::GetCard(DWORD n) const
{
    CDaveror* card = m_Head;
    while (card && n-- > 0) card = card->m_Next;
    return card;
}

void CDaverorList::KeepOnly(CDaveror* keep)
{
    CDaveror* card = m_Head;
    while (card) {
        CDaveror* next = card->m_Next;
        if (card != keep) delete card;
        card = next;
    }
    m_Head = nullptr;
    m_Count = 0;
    if (keep) {
        keep->m_Next = nullptr;
        m_Head = keep;
        m_Count = 1;
    } else if (m_DeviceSet != INVALID_HANDLE_VALUE) {
        SetupDiDestroyDeviceInfoList(m_DeviceSet);
        m_DeviceSet = INVALID_HANDLE_VALUE;
    }
}

CDaveror* CDaverorList::AddCard(const WCHAR* path, DWORD length)
{
    std::string narrow;
    try {
        for (DWORD i = 0; i < length / sizeof(WCHAR) && path[i] != 0; ++i)
            narrow.push_back(static_cast<char>(path[i] & 0xFF));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    CDaveror* card = CDaveror::Create(narrow.c_str());
    if (card) Push(card);
    return card;
}

void CDaverorList::RemoveUnusable()
{
    CDaveror** link = &m_Head;
    while (CDaveror* card = *link) {
        if (card->ReadCapabilities()) {
            link = &card->m_Next;
        } else {
            *link = card->m_Next;
            delete card;
            --m_Count;
        }
    }
}

void CDaverorList::KeepFirst(DWORD count)
{
    CDaveror** link = &m_Head;
    for (DWORD i = 0; i < count && *link; ++i) link = &(*link)->m_Next;
    while (CDaveror* card = *link) {
        *link = card->m_Next;
        delete card;
        --m_Count;
    }
}

HDEVINFO CDaverorList::GetInterfaceSet()
{
    return SetupDiGetClassDevsA(&GUID_DAVEROR_INTERFACE, NULL, NULL, DIGCF_DEVICEINTERFACE);
}

SP_DEVICE_INTERFACE_DETAIL_DATA_A* CDaverorList::GetInterfaceDetail(HDEVINFO set, DWORD index)
{
    SP_DEVICE_INTERFACE_DATA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = sizeof data;
    if (SetupDiEnumDeviceInterfaces(set, NULL, &GUID_DAVEROR_INTERFACE, index, &data) != 1) return nullptr;

    // The size query must fail for want of room and name a size with room for
    // the fixed part and at least the terminator; anything else is no detail.
    DWORD size = 0;
    if (SetupDiGetDeviceInterfaceDetailA(set, &data, NULL, 0, &size, NULL) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) - 1)
        return nullptr;
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!detail) return nullptr;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (SetupDiGetDeviceInterfaceDetailA(set, &data, detail, size, NULL, NULL) != 1) {
        FreeInterfaceDetail(detail);
        return nullptr;
    }
    reinterpret_cast<char*>(detail)[size - 1] = '\0';  // the path ends within what we were told
    return detail;
}

void CDaverorList::FreeInterfaceDetail(SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail)
{
    HeapFree(GetProcessHeap(), 0, detail);
}
