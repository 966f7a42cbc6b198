#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A field value as it lies in the received datagram: not copied, not
// necessarily terminated.
struct FieldText {
    const char* text;
    size_t length;
};

// The fields of one reply, keyed by their (already lower-cased) key. A chained
// hash table: a new entry goes to the front of its bucket's chain, and before
// a new key is inserted while the entries fill half the buckets, the table is
// rebuilt with the next size of 11, 23, 97, 397, 1597, 6577, 25523, 99793.
// Keys and values refer into the datagram and stay valid until it is
// overwritten; entries and buckets are kept for the next reply.
class FieldTable {
public:
    // 31 * h + byte over the key's bytes, each taken as a signed 8-bit value.
    static uint32_t Hash(const char* key, size_t length);

    // Sets the key's value, replacing the value of an earlier entry.
    void Set(const char* key, size_t keyLength, const char* value, size_t valueLength);
    // Finds the value of a terminated key.
    bool Find(const char* key, FieldText& value) const;
    void Clear();

    size_t Count() const { return entries.size(); }
    size_t BucketCount() const { return buckets.size(); }

private:
    struct Entry {
        const char* key;
        size_t keyLength;
        FieldText value;
        int32_t next;  // the next entry of the chain, -1 at its end
    };

    Entry* Lookup(const char* key, size_t length, uint32_t hash) const;
    void Rebuild(size_t bucketCount);

    std::vector<Entry> entries;
    std::vector<int32_t> buckets;  // the first entry of each chain, -1 when empty
};
