#include <cstdlib>
#include <cstring>

#include "afxcoll.h"

CByteArray::~CByteArray() { std::free(m_pData); }

BOOL CByteArray::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy) {
    if (nNewSize < 0) return FALSE;
    if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
    if (nNewSize > m_nMaxSize) {
        INT_PTR grow = m_nGrowBy;
        if (grow == 0) {
            // The framework's default: an eighth of the size, between 4 and 1024.
            grow = m_nSize / 8;
            grow = grow < 4 ? 4 : (grow > 1024 ? 1024 : grow);
        }
        INT_PTR capacity = m_nMaxSize + grow > nNewSize ? m_nMaxSize + grow : nNewSize;
        BYTE* data = static_cast<BYTE*>(std::realloc(m_pData, size_t(capacity)));
        if (!data) return FALSE;
        m_pData = data;
        m_nMaxSize = capacity;
    }
    if (nNewSize > m_nSize) std::memset(m_pData + m_nSize, 0, size_t(nNewSize - m_nSize));
    m_nSize = nNewSize;
    return TRUE;
}

INT_PTR CByteArray::Add(BYTE b) {
    INT_PTR index = m_nSize;
    if (!SetSize(m_nSize + 1)) return -1;
    m_pData[index] = b;
    return index;
}

void CByteArray::RemoveAll() {
    std::free(m_pData);
    m_pData = nullptr;
    m_nSize = m_nMaxSize = 0;
}

struct CBlock {
    CBlock* next;
};

CPtrList::CPtrList(INT_PTR nBlockSize) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}

CPtrList::~CPtrList() {
    RemoveAll();
    while (m_pBlocks) {
        CBlock* next = m_pBlocks->next;
        std::free(m_pBlocks);
        m_pBlocks = next;
    }
}

CPtrList::CNode* CPtrList::NewNode(CNode* prev, CNode* next) {
    if (!m_pNodeFree) {
        // Nodes come in blocks; a block lives until the list goes.
        size_t bytes = sizeof(CBlock) + sizeof(CNode) * size_t(m_nBlockSize);
        auto* block = static_cast<CBlock*>(std::malloc(bytes));
        if (!block) std::abort();
        block->next = m_pBlocks;
        m_pBlocks = block;
        ++m_nBlocks;
        auto* nodes = reinterpret_cast<CNode*>(block + 1);
        for (INT_PTR i = m_nBlockSize - 1; i >= 0; --i) {
            nodes[i].pNext = m_pNodeFree;
            m_pNodeFree = &nodes[i];
        }
    }
    CNode* node = m_pNodeFree;
    m_pNodeFree = node->pNext;
    node->pPrev = prev;
    node->pNext = next;
    node->data = nullptr;
    ++m_nCount;
    return node;
}

void CPtrList::FreeNode(CNode* node) {
    node->pNext = m_pNodeFree;
    m_pNodeFree = node;
    --m_nCount;
}

POSITION CPtrList::AddHead(void* p) {
    CNode* node = NewNode(nullptr, m_pNodeHead);
    node->data = p;
    if (m_pNodeHead)
        m_pNodeHead->pPrev = node;
    else
        m_pNodeTail = node;
    m_pNodeHead = node;
    return reinterpret_cast<POSITION>(node);
}

POSITION CPtrList::AddTail(void* p) {
    CNode* node = NewNode(m_pNodeTail, nullptr);
    node->data = p;
    if (m_pNodeTail)
        m_pNodeTail->pNext = node;
    else
        m_pNodeHead = node;
    m_pNodeTail = node;
    return reinterpret_cast<POSITION>(node);
}

void*& CPtrList::GetHead() { return m_pNodeHead->data; }
void*& CPtrList::GetTail() { return m_pNodeTail->data; }

void* CPtrList::RemoveHead() {
    if (!m_pNodeHead) return nullptr;
    CNode* old = m_pNodeHead;
    void* data = old->data;
    m_pNodeHead = old->pNext;
    if (m_pNodeHead)
        m_pNodeHead->pPrev = nullptr;
    else
        m_pNodeTail = nullptr;
    FreeNode(old);
    return data;
}

void* CPtrList::RemoveTail() {
    if (!m_pNodeTail) return nullptr;
    CNode* old = m_pNodeTail;
    void* data = old->data;
    m_pNodeTail = old->pPrev;
    if (m_pNodeTail)
        m_pNodeTail->pNext = nullptr;
    else
        m_pNodeHead = nullptr;
    FreeNode(old);
    return data;
}

void CPtrList::RemoveAll() {
    while (m_pNodeHead) RemoveHead();
}

POSITION CPtrList::GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
POSITION CPtrList::GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }

void*& CPtrList::GetNext(POSITION& pos) {
    CNode* node = reinterpret_cast<CNode*>(pos);
    pos = reinterpret_cast<POSITION>(node->pNext);
    return node->data;
}

void*& CPtrList::GetPrev(POSITION& pos) {
    CNode* node = reinterpret_cast<CNode*>(pos);
    pos = reinterpret_cast<POSITION>(node->pPrev);
    return node->data;
}

void*& CPtrList::GetAt(POSITION pos) { return reinterpret_cast<CNode*>(pos)->data; }

void CPtrList::RemoveAt(POSITION pos) {
    CNode* node = reinterpret_cast<CNode*>(pos);
    if (node == m_pNodeHead)
        m_pNodeHead = node->pNext;
    else
        node->pPrev->pNext = node->pNext;
    if (node == m_pNodeTail)
        m_pNodeTail = node->pPrev;
    else
        node->pNext->pPrev = node->pPrev;
    FreeNode(node);
}

POSITION CPtrList::Find(void* value, POSITION after) const {
    CNode* node = after ? reinterpret_cast<CNode*>(after)->pNext : m_pNodeHead;
    for (; node; node = node->pNext)
        if (node->data == value) return reinterpret_cast<POSITION>(node);
    return nullptr;
}
