#include "ui/base/UIString.h"

#include "ui/base/Utf8.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ui {

namespace {

// The longest text the platform formatter produces, plus its NUL.
const int kFormatLimit = 1025;

// Formats into `buffer` of `size` bytes (at least 1), always terminating it
// and never cutting a character. Returns the number of characters the
// formatter reported.
int FormatV(char* buffer, int size, const char* format, va_list args)
{
    char whole[kFormatLimit];
    whole[0] = '\0';
#ifdef _WIN32
    // wvsprintfA writes at most 1024 bytes and knows no buffer size.
    int count = wvsprintfA(whole, format, args);
    whole[kFormatLimit - 1] = '\0';
#else
    int count = std::vsnprintf(whole, sizeof whole, format, args);
    if (count < 0)
        count = 0;
    if (count > kFormatLimit - 1)
        count = kFormatLimit - 1;
#endif
    const char* end = whole;
    while (*end) {
        const char* next = CUtf8::Next(end);
        if (next - whole > size - 1)
            break;
        end = next;
    }
    std::memcpy(buffer, whole, end - whole);
    buffer[end - whole] = '\0';
    return count;
}

} // namespace

CUIString::CUIString() : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = '\0';
}

CUIString::CUIString(const char* text, int length) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = '\0';
    Assign(text, length);
}

CUIString::CUIString(const CUIString& other) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = '\0';
    Assign(other.m_pstr);
}

CUIString& CUIString::operator=(const CUIString& other)
{
    if (this != &other)
        Assign(other.m_pstr);
    return *this;
}

CUIString& CUIString::operator=(const char* text)
{
    Assign(text);
    return *this;
}

CUIString::~CUIString()
{
    if (!IsInline())
        std::free(m_pstr);
}

void CUIString::Assign(const char* text, int length)
{
    if (!text) {
        text = "";
        length = 0;
    }
    if (length < 0)
        length = static_cast<int>(std::strlen(text));

    // `text` may point into this string's own storage, so the old block is
    // freed only after the copy.
    if (length > kInlineMax) {
        if (IsInline() || static_cast<int>(std::strlen(m_pstr)) < length) {
            char* block = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
            if (!block)
                return; // out of memory: the string keeps its text
            std::memcpy(block, text, length);
            block[length] = '\0';
            if (!IsInline())
                std::free(m_pstr);
            m_pstr = block;
            return;
        }
        std::memmove(m_pstr, text, length);
        m_pstr[length] = '\0';
        return;
    }
    std::memmove(m_szBuffer, text, length);
    m_szBuffer[length] = '\0';
    if (!IsInline()) {
        std::free(m_pstr);
        m_pstr = m_szBuffer;
    }
}

void CUIString::Append(const char* text)
{
    if (!text || !*text)
        return;
    int oldLength = GetLength();
    int addLength = static_cast<int>(std::strlen(text));
    int newLength = oldLength + addLength;
    if (newLength > kInlineMax) {
        char* block = static_cast<char*>(std::malloc(static_cast<size_t>(newLength) + 1));
        if (!block)
            return; // out of memory: the string keeps its text
        std::memcpy(block, m_pstr, oldLength);
        std::memcpy(block + oldLength, text, addLength);
        block[newLength] = '\0';
        if (!IsInline())
            std::free(m_pstr);
        m_pstr = block;
        return;
    }
    std::memmove(m_szBuffer + oldLength, text, addLength);
    m_szBuffer[newLength] = '\0';
}

void CUIString::Append(char ch)
{
    char text[2] = {ch, '\0'};
    Append(text);
}

CUIString& CUIString::operator+=(const char* text)
{
    Append(text);
    return *this;
}

CUIString& CUIString::operator+=(char ch)
{
    Append(ch);
    return *this;
}

CUIString CUIString::operator+(const char* text) const
{
    CUIString result(*this);
    result.Append(text);
    return result;
}

void CUIString::Empty()
{
    if (!IsInline())
        std::free(m_pstr);
    m_pstr = m_szBuffer;
    m_szBuffer[0] = '\0';
}

CUIString CUIString::Left(int n) const
{
    int length = GetLength();
    if (n < 0)
        n = 0;
    if (n > length)
        n = length;
    return CUIString(m_pstr, n);
}

int CUIString::Format(const char* format, ...)
{
    // The format may be this string's own text.
    CUIString copy(format);
    char buffer[kInlineSize];
    std::memset(buffer, 0, sizeof buffer);
    va_list args;
    va_start(args, format);
    int count = FormatV(buffer, sizeof buffer, copy.GetData(), args);
    va_end(args);
    Assign(buffer);
    return count;
}

int CUIString::GetLength() const
{
    return static_cast<int>(std::strlen(m_pstr));
}

char CUIString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        return '\0';
    return m_pstr[index];
}

int CUIString::Compare(const char* text) const
{
    return std::strcmp(m_pstr, text ? text : "");
}

} // namespace ui
