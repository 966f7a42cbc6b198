#include "tokenclient/AddressFileReader.h"

#include <cstring>

namespace {

const char EndOfText = 0x1A;

} // namespace

AddressFileReader::AddressFileReader()
    : lineLength(0), carriageReturnHeld(false), stopped(false), address(NoAddress())
{
}

void AddressFileReader::Put(char c)
{
    if (lineLength == MaxLineLength) {
        // The line does not fit: what was read of it is the last line.
        EndLine();
        stopped = true;
        return;
    }
    line[lineLength++] = c;
}

void AddressFileReader::EndLine()
{
    if (lineLength >= LabelLength) {
        size_t count = lineLength - LabelLength;
        if (count > AddressLength)
            count = AddressLength;
        // The address is a terminated text: a zero byte ends it early.
        const char* start = line + LabelLength;
        const void* zero = std::memchr(start, 0, count);
        if (zero)
            count = static_cast<size_t>(static_cast<const char*>(zero) - start);
        address.assign(start, count);
    }
    lineLength = 0;
}

void AddressFileReader::Feed(const char* bytes, size_t count)
{
    for (size_t i = 0; i < count && !stopped; ++i) {
        char c = bytes[i];
        if (c == EndOfText) {
            Finish();
            break;
        }
        if (carriageReturnHeld) {
            carriageReturnHeld = false;
            if (c != '\n') {
                Put('\r');
                if (stopped)
                    break;
            }
        }
        if (c == '\n')
            EndLine();
        else if (c == '\r')
            carriageReturnHeld = true;
        else
            Put(c);
    }
}

std::string AddressFileReader::Finish()
{
    if (!stopped) {
        if (carriageReturnHeld)
            Put('\r');
        carriageReturnHeld = false;
        if (!stopped)
            EndLine();
        stopped = true;
    }
    return address;
}

std::string AddressFileReader::Parse(const char* text, size_t length)
{
    AddressFileReader reader;
    reader.Feed(text, length);
    return reader.Finish();
}

std::string AddressFileReader::PathBeside(const char* programPath, bool (*isLeadByte)(unsigned char))
{
    size_t cut = 0;
    for (size_t i = 0; programPath[i]; ++i) {
        unsigned char c = static_cast<unsigned char>(programPath[i]);
        if (isLeadByte(c) && programPath[i + 1]) {
            ++i;
            continue;
        }
        if (c == '\\')
            cut = i + 1;
    }
    return std::string(programPath, cut) + "authipconf.ini";
}
