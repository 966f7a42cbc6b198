#include "ui/base/UIPtrArray.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace ui {

CUIPtrArray::CUIPtrArray(int preallocate) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0)
{
    if (preallocate > 0 && static_cast<size_t>(preallocate) <= SIZE_MAX / sizeof(void*)) {
        m_ppVoid = static_cast<void**>(std::malloc(preallocate * sizeof(void*)));
        if (m_ppVoid)
            m_nAllocated = preallocate;
    }
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0)
{
    *this = other;
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& other)
{
    if (this == &other)
        return *this;
    Empty();
    for (int i = 0; i < other.m_nCount; ++i) {
        if (!Add(other.m_ppVoid[i]))
            break;
    }
    return *this;
}

CUIPtrArray::~CUIPtrArray()
{
    std::free(m_ppVoid);
}

void CUIPtrArray::Empty()
{
    std::free(m_ppVoid);
    m_ppVoid = nullptr;
    m_nCount = 0;
    m_nAllocated = 0;
}

bool CUIPtrArray::GrowFor(int newCount)
{
    if (newCount < m_nAllocated)
        return true;
    if (m_nAllocated > INT_MAX / 2)
        return false;
    int capacity = m_nAllocated == 0 ? 11 : m_nAllocated * 2;
    if (static_cast<size_t>(capacity) > SIZE_MAX / sizeof(void*))
        return false;
    void** storage = static_cast<void**>(std::realloc(m_ppVoid, capacity * sizeof(void*)));
    if (!storage)
        return false;
    m_ppVoid = storage;
    m_nAllocated = capacity;
    return true;
}

bool CUIPtrArray::Add(void* p)
{
    if (m_nCount == INT_MAX || !GrowFor(m_nCount + 1))
        return false;
    m_ppVoid[m_nCount++] = p;
    return true;
}

bool CUIPtrArray::InsertAt(int index, void* p)
{
    if (index == m_nCount)
        return Add(p);
    if (index < 0 || index > m_nCount)
        return false;
    if (!GrowFor(m_nCount + 1))
        return false;
    std::memmove(&m_ppVoid[index + 1], &m_ppVoid[index], (m_nCount - index) * sizeof(void*));
    m_ppVoid[index] = p;
    ++m_nCount;
    return true;
}

bool CUIPtrArray::Remove(int index)
{
    if (index < 0 || index >= m_nCount)
        return false;
    --m_nCount;
    if (index < m_nCount)
        std::memmove(&m_ppVoid[index], &m_ppVoid[index + 1], (m_nCount - index) * sizeof(void*));
    return true;
}

bool CUIPtrArray::SetAt(int index, void* p)
{
    if (index < 0 || index >= m_nCount)
        return false;
    m_ppVoid[index] = p;
    return true;
}

void* CUIPtrArray::GetAt(int index) const
{
    if (index < 0 || index >= m_nCount)
        return nullptr;
    return m_ppVoid[index];
}

int CUIPtrArray::Find(void* p) const
{
    for (int i = 0; i < m_nCount; ++i) {
        if (m_ppVoid[i] == p)
            return i;
    }
    return -1;
}

} // namespace ui
