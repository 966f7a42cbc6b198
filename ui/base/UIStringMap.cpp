#include "ui/base/UIStringMap.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace ui {

CUIStringMap::CUIStringMap(int buckets) : m_aT(nullptr), m_nBuckets(0)
{
    if (buckets > 0) {
        m_aT = static_cast<Node**>(std::calloc(buckets, sizeof(Node*)));
        if (m_aT)
            m_nBuckets = buckets;
    }
}

CUIStringMap::~CUIStringMap()
{
    RemoveAll();
}

unsigned CUIStringMap::Hash(const char* key)
{
    if (!key)
        key = "";
    unsigned hash = 0;
    // Each byte counts as a signed value, so bytes above 0x7F add negatively.
    for (size_t i = std::strlen(key); i > 0; --i)
        hash = hash * 33 + static_cast<unsigned>(static_cast<int>(static_cast<signed char>(key[i - 1])));
    return hash;
}

void* CUIStringMap::Find(const char* key) const
{
    if (m_nBuckets == 0)
        return nullptr;
    if (!key)
        key = "";
    for (Node* node = m_aT[Hash(key) % m_nBuckets]; node; node = node->next) {
        if (node->key == key)
            return node->value;
    }
    return nullptr;
}

bool CUIStringMap::Insert(const char* key, void* value)
{
    if (m_nBuckets == 0)
        return false;
    if (!key)
        key = "";
    unsigned slot = Hash(key) % m_nBuckets;
    for (Node* node = m_aT[slot]; node; node = node->next) {
        if (node->key == key)
            return false;
    }
    Node* node = new (std::nothrow) Node;
    if (!node)
        return false;
    node->key = key;
    if (node->key != key) { // the key's copy ran out of memory
        delete node;
        return false;
    }
    node->value = value;
    node->next = m_aT[slot];
    m_aT[slot] = node;
    return true;
}

void* CUIStringMap::Set(const char* key, void* value)
{
    if (m_nBuckets == 0)
        return value;
    if (!key)
        key = "";
    for (Node* node = m_aT[Hash(key) % m_nBuckets]; node; node = node->next) {
        if (node->key == key) {
            void* old = node->value;
            node->value = value;
            return old;
        }
    }
    // A value that could not be stored goes back to the caller.
    return Insert(key, value) ? nullptr : value;
}

bool CUIStringMap::Remove(const char* key)
{
    if (m_nBuckets == 0)
        return false;
    if (!key)
        key = "";
    Node** link = &m_aT[Hash(key) % m_nBuckets];
    for (Node* node = *link; node; link = &node->next, node = node->next) {
        if (node->key == key) {
            *link = node->next;
            delete node;
            return true;
        }
    }
    return false;
}

void CUIStringMap::RemoveAll()
{
    if (m_aT) {
        for (int i = m_nBuckets - 1; i >= 0; --i) {
            Node* node = m_aT[i];
            while (node) {
                Node* next = node->next;
                delete node;
                node = next;
            }
        }
        std::free(m_aT);
        m_aT = nullptr;
    }
    m_nBuckets = 0;
}

int CUIStringMap::GetSize() const
{
    int count = 0;
    for (int i = 0; i < m_nBuckets; ++i) {
        for (const Node* node = m_aT[i]; node; node = node->next)
            ++count;
    }
    return count;
}

const char* CUIStringMap::GetAt(int index) const
{
    if (index < 0)
        return nullptr;
    for (int i = 0; i < m_nBuckets; ++i) {
        for (const Node* node = m_aT[i]; node; node = node->next) {
            if (index-- == 0)
                return node->key.GetData();
        }
    }
    return nullptr;
}

} // namespace ui
