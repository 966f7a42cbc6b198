#pragma once

#include <cstddef>

// An append-only byte buffer. Its storage starts at 1024 bytes and doubles
// whenever an append does not fit, up to 1 MiB; an append that would need
// more fails and appends nothing.
class ByteBuffer {
public:
    static constexpr size_t InitialCapacity = 1024;
    static constexpr size_t MaxCapacity = 1024 * 1024;

    ByteBuffer();
    ~ByteBuffer();
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    bool Append(const void* bytes, size_t count);
    bool AppendText(const char* text);
    // Extends the contents by count bytes left for the caller to fill and
    // returns where they start, or null (and nothing changes) when they do
    // not fit.
    char* Reserve(size_t count);
    // Empties the buffer and gives back storage beyond the first 1024 bytes.
    void Reset();

    char* Data() { return data; }
    const char* Data() const { return data; }
    size_t Length() const { return length; }
    size_t Capacity() const { return capacity; }

private:
    bool MakeRoom(size_t count);

    char* data;
    size_t length;
    size_t capacity;
};
