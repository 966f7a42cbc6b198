// authipconf.ini as the address source reads it: in chunks of 4096 bytes,
// fed to the reader one after the other. The address must not depend on
// where the file was cut, so the same bytes are also fed whole and one byte
// at a time.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tokenclient/AddressFileReader.h"

namespace {

std::string ReadInChunks(const uint8_t* data, size_t size, size_t chunkSize)
{
    AddressFileReader reader;
    for (size_t done = 0; done < size; done += chunkSize) {
        size_t count = size - done < chunkSize ? size - done : chunkSize;
        // Each chunk in a buffer of its own size, as a read call fills it.
        char* chunk = static_cast<char*>(std::malloc(count));
        std::memcpy(chunk, data + done, count);
        reader.Feed(chunk, count);
        std::free(chunk);
    }
    return reader.Finish();
}

std::string ReadByteByByte(const uint8_t* data, size_t size)
{
    AddressFileReader reader;
    for (size_t i = 0; i < size; ++i)
        reader.Feed(reinterpret_cast<const char*>(data + i), 1);
    return reader.Finish();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string chunked = ReadInChunks(data, size, 4096);
    std::string whole = AddressFileReader::Parse(reinterpret_cast<const char*>(data), size);
    std::string bytewise = ReadByteByByte(data, size);
    if (chunked != whole || bytewise != whole)
        std::abort();
    if (whole.size() > AddressFileReader::AddressLength)
        std::abort();
    return 0;
}
