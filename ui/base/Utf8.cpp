#include "ui/base/Utf8.h"

#include <cstdlib>
#include <cstring>

namespace ui {

namespace {

const unsigned kReplacement = 0xFFFD;

// Decodes the character at `p` (its first byte at least 0x80; `end` is
// where the text stops) into `code`, and returns the bytes it takes.
int DecodeMultiByte(const unsigned char* p, const unsigned char* end, unsigned* code)
{
    unsigned char lead = p[0];
    int need;
    unsigned value;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        value = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        value = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90; // overlong
        if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        *code = kReplacement;
        return 1;
    }
    int used = 1;
    for (int i = 0; i < need; ++i) {
        // A NUL is no continuation byte, so a NUL-terminated text is never
        // read past its end.
        if (p + used >= end) {
            *code = kReplacement;
            return used;
        }
        unsigned char byte = p[used];
        if (byte < (i == 0 ? low : 0x80) || byte > (i == 0 ? high : 0xBF)) {
            *code = kReplacement;
            return used;
        }
        value = (value << 6) | (byte & 0x3F);
        ++used;
    }
    *code = value;
    return used;
}

} // namespace

const char* CUtf8::NextMultiByte(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    unsigned code;
    return text + DecodeMultiByte(p, p + 4, &code);
}

int CUtf8::ToUtf16(const char* text, int length, UIWideChar* out, int room)
{
    if (room < 1)
        return 0;
    if (text == nullptr)
        length = 0;
    else if (length < 0)
        length = static_cast<int>(std::strlen(text));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    int written = 0;
    int last = room - 1; // the NUL's place
    while (p < end && written < last) {
        if (*p < 0x80) {
            out[written++] = static_cast<UIWideChar>(*p++);
            continue;
        }
        unsigned code;
        int used = DecodeMultiByte(p, end, &code);
        if (code > 0xFFFF) {
            if (last - written < 2)
                break;
            code -= 0x10000;
            out[written++] = static_cast<UIWideChar>(0xD800 + (code >> 10));
            out[written++] = static_cast<UIWideChar>(0xDC00 + (code & 0x3FF));
        } else {
            out[written++] = static_cast<UIWideChar>(code);
        }
        p += used;
    }
    out[written] = 0;
    return written;
}

int CUtf8::FromUtf16(const UIWideChar* text, int length, char* out, int room)
{
    if (room < 1)
        return 0;
    if (text == nullptr) {
        length = 0;
    } else if (length < 0) {
        length = 0;
        while (text[length] != 0)
            ++length;
    }
    int written = 0;
    int last = room - 1;
    for (int i = 0; i < length; ++i) {
        unsigned code = static_cast<unsigned>(text[i]) & 0xFFFF;
        if (code >= 0xD800 && code <= 0xDFFF) {
            unsigned next = i + 1 < length ? static_cast<unsigned>(text[i + 1]) & 0xFFFF : 0;
            if (code <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (next - 0xDC00);
                ++i;
            } else {
                code = kReplacement;
            }
        }
        int size = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (last - written < size)
            break;
        char* o = out + written;
        if (size == 1) {
            o[0] = static_cast<char>(code);
        } else if (size == 2) {
            o[0] = static_cast<char>(0xC0 | (code >> 6));
            o[1] = static_cast<char>(0x80 | (code & 0x3F));
        } else if (size == 3) {
            o[0] = static_cast<char>(0xE0 | (code >> 12));
            o[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            o[2] = static_cast<char>(0x80 | (code & 0x3F));
        } else {
            o[0] = static_cast<char>(0xF0 | (code >> 18));
            o[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            o[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            o[3] = static_cast<char>(0x80 | (code & 0x3F));
        }
        written += size;
    }
    out[written] = '\0';
    return written;
}

CWideText::CWideText(const char* text, int length) : m_data(m_inline), m_length(0)
{
    if (text == nullptr)
        length = 0;
    else if (length < 0)
        length = static_cast<int>(std::strlen(text));
    if (length > kInlineLength) {
        m_data
            = static_cast<UIWideChar*>(std::malloc((static_cast<size_t>(length) + 1) * sizeof(UIWideChar)));
        if (m_data == nullptr) {
            m_data = m_inline;
            length = 0;
        }
    }
    int room = m_data == m_inline ? kInlineLength + 1 : length + 1;
    m_length = CUtf8::ToUtf16(text, length, m_data, room);
}

CWideText::~CWideText()
{
    if (m_data != m_inline)
        std::free(m_data);
}

} // namespace ui
