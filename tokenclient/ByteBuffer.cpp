#include "tokenclient/ByteBuffer.h"

#include <cstring>

ByteBuffer::ByteBuffer() : data(new char[InitialCapacity]), length(0), capacity(InitialCapacity) {}

ByteBuffer::~ByteBuffer() { delete[] data; }

bool ByteBuffer::MakeRoom(size_t count)
{
    if (count <= capacity - length)
        return true;
    if (count > MaxCapacity - length)
        return false;
    size_t grown = capacity;
    while (grown - length < count)
        grown *= 2;
    char* bigger = new char[grown];
    std::memcpy(bigger, data, length);
    delete[] data;
    data = bigger;
    capacity = grown;
    return true;
}

bool ByteBuffer::Append(const void* bytes, size_t count)
{
    char* at = Reserve(count);
    if (!at)
        return false;
    if (count)
        std::memcpy(at, bytes, count);
    return true;
}

bool ByteBuffer::AppendText(const char* text) { return Append(text, std::strlen(text)); }

char* ByteBuffer::Reserve(size_t count)
{
    if (!MakeRoom(count))
        return nullptr;
    char* at = data + length;
    length += count;
    return at;
}

void ByteBuffer::Reset()
{
    length = 0;
    if (capacity > InitialCapacity) {
        delete[] data;
        data = new char[InitialCapacity];
        capacity = InitialCapacity;
    }
}
