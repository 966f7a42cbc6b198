#pragma once

#include "ui/base/UIString.h"

namespace ui {

// A string-keyed hash map of untyped pointers with a fixed number of
// buckets. It owns its nodes, never the values.
class CUIStringMap
{
public:
    explicit CUIStringMap(int buckets = 83);
    ~CUIStringMap();
    CUIStringMap(const CUIStringMap&) = delete;
    CUIStringMap& operator=(const CUIStringMap&) = delete;

    // The value stored under `key`, or null.
    void* Find(const char* key) const;
    // False when the map has no buckets or `key` is already present.
    bool Insert(const char* key, void* value);
    // Replaces the value of `key` and returns the old one (the caller frees
    // what it owned); otherwise inserts and returns null. A map without
    // buckets stores nothing and returns `value`.
    void* Set(const char* key, void* value);
    bool Remove(const char* key);
    // Frees every node and the buckets; the map then holds nothing more.
    void RemoveAll();
    // Removes every entry and hands its value to `release`, which frees what
    // the caller owned; the map keeps its buckets, so it can be filled again.
    template <typename Release>
    void Drain(Release release)
    {
        while (GetSize() > 0) {
            CUIString key(GetAt(0));
            void* value = Find(key);
            Remove(key);
            release(value);
        }
    }

    // Iteration over the keys in bucket order: GetAt(0 … GetSize() - 1).
    int GetSize() const;
    const char* GetAt(int index) const;

    int GetBucketCount() const { return m_nBuckets; }
    static unsigned Hash(const char* key);

private:
    struct Node
    {
        CUIString key;
        void* value;
        Node* next;
    };

    Node** m_aT;
    int m_nBuckets;
};

} // namespace ui
