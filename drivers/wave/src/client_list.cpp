// The open streams of one direction.
#include "client_list.h"

#include "auto_lock.h"
#include "kept_streams.h"
#include "wave_pipe.h"

CClientList::CClientList() : m_Head(nullptr) { InitializeCriticalSection(&m_Lock); }

CClientList::~CClientList()
{
    Clear();
    DeleteCriticalSection(&m_Lock);
}

void CClientList::Add(Node* node)
{
    CAutoLock lock(m_Lock);
    node->next = m_Head;
    m_Head = node;
}

bool CClientList::Contains(DWORD_PTR value)
{
    CAutoLock lock(m_Lock);
    for (Node* node = m_Head; node; node = node->next)
        if (reinterpret_cast<DWORD_PTR>(node->pipe) == value) return true;
    return false;
}

void CClientList::Remove(CWavePipe* pipe)
{
    CAutoLock lock(m_Lock);
    for (Node** link = &m_Head; *link; link = &(*link)->next) {
        Node* node = *link;
        if (node->pipe != pipe) continue;
        *link = node->next;
        DestroyStream(node);
        return;
    }
}

void CClientList::Clear()
{
    CAutoLock lock(m_Lock);
    while (Node* node = m_Head) {
        m_Head = node->next;
        DestroyStream(node);
    }
}
