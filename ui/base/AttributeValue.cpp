#include "ui/base/AttributeValue.h"

#include <string.h>

namespace ui {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads one decimal integer like strtol: blanks, an optional sign, digits.
// When no digit follows, *end is `text` itself and the result 0.
int ReadDecimal(const char* text, const char** end)
{
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (*p < '0' || *p > '9') {
        *end = text;
        return 0;
    }
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value <= 2147483648LL)
            value = value * 10 + (*p - '0');
        ++p;
    }
    *end = p;
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return 2147483647;
    if (value < -2147483647LL - 1)
        return -2147483647 - 1;
    return static_cast<int>(value);
}

} // namespace

bool ReadBoolValue(const char* text)
{
    return text != nullptr && strcmp(text, "true") == 0;
}

int ReadIntValue(const char* text)
{
    if (text == nullptr)
        return 0;
    const char* end = text;
    return ReadDecimal(text, &end);
}

int ReadIntListValue(const char* text, int* values, int count)
{
    for (int i = 0; i < count; ++i)
        values[i] = 0;
    if (text == nullptr)
        return 0;
    const char* p = text;
    int read = 0;
    while (read < count) {
        const char* end = p;
        values[read++] = ReadDecimal(p, &end);
        // The separator is one character of any kind; a text that ends
        // here supplies no more numbers.
        if (*end == '\0')
            break;
        p = end + 1;
    }
    return read;
}

unsigned ReadColorValue(const char* text, bool skipLeadingBlanks)
{
    if (text == nullptr)
        return 0;
    const char* p = text;
    if (skipLeadingBlanks) {
        while (IsBlank(*p))
            ++p;
    }
    if (*p == '#')
        ++p;
    // The digits are read like strtoul with base 16.
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0)
        p += 2;
    unsigned long long value = 0;
    for (int digit; (digit = HexDigit(*p)) >= 0; ++p) {
        if (value <= 0xFFFFFFFFULL)
            value = value * 16 + static_cast<unsigned>(digit);
    }
    if (value > 0xFFFFFFFFULL)
        return 0xFFFFFFFFu;
    unsigned result = static_cast<unsigned>(value);
    return negative ? 0u - result : result;
}

} // namespace ui
