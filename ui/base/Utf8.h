#pragma once

namespace ui {

// One unit of the platform's wide texts (UTF-16). The native build, whose
// wchar_t is wider, uses char16_t so that the same conversions are tested.
#ifdef _WIN32
typedef wchar_t UIWideChar;
#else
typedef char16_t UIWideChar;
#endif

// The framework's texts are UTF-8, whatever the system's code page; they
// become UTF-16 only where they meet the platform. Every conversion between
// the two lives here.
//
// A malformed sequence (a stray continuation byte, a byte that never starts
// a character, a character cut short, an overlong form, a surrogate or a
// value beyond U+10FFFF) counts as one character: the longest beginning of
// a valid sequence, at least one byte. It converts to U+FFFD. Stepping and
// conversion agree on these boundaries, and a step never swallows an ASCII
// byte or the terminating NUL.
class CUtf8
{
public:
    // The position of the next character; `text` itself at the NUL.
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

    // Converts `length` bytes of `text` (-1: up to its NUL) into `out`,
    // which has room for `room` units (at least 1), and terminates it.
    // Returns the units written, the NUL not counted. A character that does
    // not fit ends the text; a byte never gives more than one unit, so room
    // for length + 1 units always holds the whole text.
    static int ToUtf16(const char* text, int length, UIWideChar* out, int room);

    // Converts `length` units of `text` (-1: up to its NUL) into `out` of
    // `room` bytes (at least 1), terminated, never cutting a character;
    // returns the bytes written. A lone surrogate becomes U+FFFD. Three
    // bytes per unit always hold the whole text.
    static int FromUtf16(const UIWideChar* text, int length, char* out, int room);

private:
    static const char* NextMultiByte(const char* text);
};

// A UTF-16 copy of a UTF-8 text for one call of a wide platform function.
// Texts of up to kInlineLength units are converted into the object itself,
// so that drawing a label costs no allocation; longer ones into a heap
// block. When memory runs out the copy is the empty text.
class CWideText
{
public:
    enum
    {
        kInlineLength = 127
    };

    explicit CWideText(const char* text, int length = -1);
    ~CWideText();

    const UIWideChar* GetData() const { return m_data; }
    operator const UIWideChar*() const { return m_data; }
    int GetLength() const { return m_length; }

private:
    CWideText(const CWideText&) = delete;
    CWideText& operator=(const CWideText&) = delete;

    UIWideChar* m_data;
    int m_length;
    UIWideChar m_inline[kInlineLength + 1];
};

} // namespace ui
