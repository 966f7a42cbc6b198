#pragma once

namespace ui {

// A growable array of untyped pointers. It never owns what they point to.
class CUIPtrArray
{
public:
    explicit CUIPtrArray(int preallocate = 0);
    CUIPtrArray(const CUIPtrArray& other);
    CUIPtrArray& operator=(const CUIPtrArray& other);
    ~CUIPtrArray();

    // False, with the array unchanged, when memory runs out.
    bool Add(void* p);
    // `index` from 0 to the count; the count itself appends.
    bool InsertAt(int index, void* p);
    bool Remove(int index);
    bool SetAt(int index, void* p);
    // Null for an index outside 0 … count - 1.
    void* GetAt(int index) const;
    void* operator[](int index) const { return GetAt(index); }
    // The index of the first `p`, or -1.
    int Find(void* p) const;

    int GetSize() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    int GetCapacity() const { return m_nAllocated; }
    void** GetData() const { return m_ppVoid; }
    // Frees the storage; count and capacity become 0.
    void Empty();

private:
    // Makes room for one more element: doubles the capacity (0 becomes 11)
    // when `newCount` reaches it.
    bool GrowFor(int newCount);

    void** m_ppVoid;
    int m_nCount;
    int m_nAllocated;
};

} // namespace ui
