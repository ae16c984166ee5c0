// CClientList: the open streams of one direction. It owns them: a stream
// leaves the list only to be destroyed (or kept, when its worker did not
// stop: kept_streams.h). Every operation holds the list's lock, the
// destruction of streams included.
#pragma once

#include <windows.h>

class CWavePipe;

class CClientList {
public:
    struct Node {
        Node* next;
        CWavePipe* pipe;
    };

    CClientList();
    ~CClientList();  // destroys every stream still listed
    CClientList(const CClientList&) = delete;
    CClientList& operator=(const CClientList&) = delete;

    // Puts `node`, which holds its stream, at the head; the list owns both from now on.
    void Add(Node* node);
    // Whether `value` is the address of a listed stream. Only addresses are
    // compared: nothing is read through a value a host passed.
    bool Contains(DWORD_PTR value);
    // Unlinks the stream and destroys it with its node.
    void Remove(CWavePipe* pipe);
    // Destroys every stream and node.
    void Clear();

private:
    CRITICAL_SECTION m_Lock;
    Node* m_Head;
};
