// The framework's collections used by the program.
#pragma once

#include "windef.h"

typedef struct __POSITION {
} * POSITION;

// A growable byte array; SetSize grows by at least nGrowBy bytes at a time.
class CByteArray {
  public:
    CByteArray() = default;
    ~CByteArray();
    CByteArray(const CByteArray&) = delete;
    CByteArray& operator=(const CByteArray&) = delete;

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }
    // Returns FALSE when the memory cannot be had; the array is then unchanged.
    BOOL SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);
    BYTE* GetData() { return m_pData; }
    const BYTE* GetData() const { return m_pData; }
    BYTE GetAt(INT_PTR i) const { return m_pData[i]; }
    void SetAt(INT_PTR i, BYTE b) { m_pData[i] = b; }
    BYTE& operator[](INT_PTR i) { return m_pData[i]; }
    BYTE operator[](INT_PTR i) const { return m_pData[i]; }
    INT_PTR Add(BYTE b);
    void RemoveAll();
    INT_PTR GetAllocSize() const { return m_nMaxSize; }

  private:
    BYTE* m_pData = nullptr;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};

// A doubly linked list of pointers whose nodes are allocated in blocks.
class CPtrList {
  public:
    explicit CPtrList(INT_PTR nBlockSize = 10);
    ~CPtrList();
    CPtrList(const CPtrList&) = delete;
    CPtrList& operator=(const CPtrList&) = delete;

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    void*& GetHead();
    void*& GetTail();
    void* RemoveHead();
    void* RemoveTail();
    POSITION AddHead(void* p);
    POSITION AddTail(void* p);
    void RemoveAll();
    POSITION GetHeadPosition() const;
    POSITION GetTailPosition() const;
    void*& GetNext(POSITION& pos);
    void*& GetPrev(POSITION& pos);
    void*& GetAt(POSITION pos);
    void RemoveAt(POSITION pos);
    POSITION Find(void* value, POSITION after = nullptr) const;
    INT_PTR GetBlockSize() const { return m_nBlockSize; }
    INT_PTR GetBlockCount() const { return m_nBlocks; }

  private:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        void* data;
    };
    CNode* NewNode(CNode* prev, CNode* next);
    void FreeNode(CNode* node);

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    INT_PTR m_nCount = 0;
    CNode* m_pNodeFree = nullptr;
    struct CBlock* m_pBlocks = nullptr;
    INT_PTR m_nBlockSize;
    INT_PTR m_nBlocks = 0;
};
