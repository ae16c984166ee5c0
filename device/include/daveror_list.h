// CDaverorList: the cards of one program. The console and the ASIO driver
// fill it by enumerating the card driver's device interfaces; the wave driver
// fills an empty one from the registry with AddCard. The list owns its cards
// and the device-information set they were enumerated from.
#pragma once

#include <setupapi.h>
#include <windows.h>

#include "daveror.h"

class CDaverorList {
public:
    // Every interface of the card driver's class that opens and answers, newest first.
    CDaverorList();
    // An empty list, for cards found elsewhere.
    struct Empty {};
    explicit CDaverorList(Empty);
    ~CDaverorList();
    CDaverorList(const CDaverorList&) = delete;
    CDaverorList& operator=(const CDaverorList&) = delete;

    // The n-th card from the head (0 = head); null past the end.
    CDaveror* GetCard(DWORD n) const;
    DWORD GetCount() const { return m_Count; }
    HDEVINFO GetDeviceSet() const { return m_DeviceSet; }
    // Destroys every card but `card`, which becomes the only one. With none
    // given destroys all, and the device set with them.
    void KeepOnly(CDaveror* card);
    void Clear() { KeepOnly(nullptr); }

    // A wave-driver card from a UTF-16 path of `length` bytes, narrowed to its
    // low bytes, put at the head; null when memory runs out.
    CDaveror* AddCard(const WCHAR* path, DWORD length);
    // Unlinks and destroys every card whose capabilities cannot be read.
    void RemoveUnusable();
    // Destroys every card past the first `count`.
    void KeepFirst(DWORD count);

    static HDEVINFO GetInterfaceSet();
    // The detail of interface `index` of `set`, or null; free it with FreeInterfaceDetail.
    static SP_DEVICE_INTERFACE_DETAIL_DATA_A* GetInterfaceDetail(HDEVINFO set, DWORD index);
    static void FreeInterfaceDetail(SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail);

private:
    void Discover();
    void Push(CDaveror* card);

    HDEVINFO m_DeviceSet;
    DWORD m_Count;
    CDaveror* m_Head;
};
