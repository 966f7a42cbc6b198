#include "tokenclient/FieldTable.h"

#include <cstring>

namespace {

const size_t BucketSizes[] = {11, 23, 97, 397, 1597, 6577, 25523, 99793};

} // namespace

uint32_t FieldTable::Hash(const char* key, size_t length)
{
    uint32_t h = 0;
    for (size_t i = 0; i < length; ++i)
        h = 31u * h + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(key[i])));
    return h;
}

FieldTable::Entry* FieldTable::Lookup(const char* key, size_t length, uint32_t hash) const
{
    if (buckets.empty())
        return nullptr;
    for (int32_t i = buckets[hash % buckets.size()]; i >= 0; i = entries[i].next) {
        const Entry& entry = entries[i];
        if (entry.keyLength == length && std::memcmp(entry.key, key, length) == 0)
            return const_cast<Entry*>(&entry);
    }
    return nullptr;
}

void FieldTable::Set(const char* key, size_t keyLength, const char* value, size_t valueLength)
{
    uint32_t hash = Hash(key, keyLength);
    if (Entry* found = Lookup(key, keyLength, hash)) {
        found->value = FieldText{value, valueLength};
        return;
    }
    if (entries.size() * 2 >= buckets.size()) {
        // Past the last size the chains simply grow longer.
        for (size_t size : BucketSizes) {
            if (size > buckets.size()) {
                Rebuild(size);
                break;
            }
        }
    }
    size_t bucket = hash % buckets.size();
    entries.push_back(Entry{key, keyLength, FieldText{value, valueLength}, buckets[bucket]});
    buckets[bucket] = static_cast<int32_t>(entries.size() - 1);
}

bool FieldTable::Find(const char* key, FieldText& value) const
{
    size_t length = std::strlen(key);
    const Entry* found = Lookup(key, length, Hash(key, length));
    if (!found)
        return false;
    value = found->value;
    return true;
}

void FieldTable::Rebuild(size_t bucketCount)
{
    buckets.assign(bucketCount, -1);
    for (size_t i = 0; i < entries.size(); ++i) {
        size_t bucket = Hash(entries[i].key, entries[i].keyLength) % bucketCount;
        entries[i].next = buckets[bucket];
        buckets[bucket] = static_cast<int32_t>(i);
    }
}

void FieldTable::Clear()
{
    entries.clear();
    buckets.assign(buckets.size(), -1);
}
