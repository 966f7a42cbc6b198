#pragma once

#include <cstdarg>

namespace ui {

// The framework's only contact with the system code page. On Windows the
// calls go to the platform (the ANSI code page, 936 on the machines this
// runs on); the native build uses a code page 936 stand-in so that the same
// text handling can be exercised off Windows.
class CAnsiCodePage
{
public:
    // True when `byte` starts a double-byte character.
    static bool IsLeadByte(unsigned char byte);

    // The position of the next character: `text` itself at the terminating
    // NUL, two bytes on for a lead byte followed by a non-NUL byte, else one.
    // ASCII bytes are never lead bytes, so they are stepped here without
    // asking the platform.
    static const char* Next(const char* text)
    {
        unsigned char byte = static_cast<unsigned char>(*text);
        if (byte == 0)
            return text;
        if (byte < 0x80)
            return text + 1;
        return NextMultiByte(text);
    }
    static char* Next(char* text) { return const_cast<char*>(Next(static_cast<const char*>(text))); }

    // Converts `size` bytes of UTF-8 to ANSI text. Returns a malloc'ed,
    // NUL-terminated buffer (the caller frees it) and its length in
    // `length`, or null when memory ran out. Invalid UTF-8 and characters
    // the code page cannot hold become replacement characters.
    static char* Utf8ToAnsi(const char* bytes, int size, int* length);

    // Formats into `buffer` of `size` bytes (at least 1), always
    // terminating it. Returns the number of characters stored.
    static int FormatV(char* buffer, int size, const char* format, va_list args);

private:
    // Next for a byte above 0x7F.
    static const char* NextMultiByte(const char* text);
};

} // namespace ui
