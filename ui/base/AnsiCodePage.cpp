#include "ui/base/AnsiCodePage.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#endif

namespace ui {

namespace {

// The longest text the platform formatter produces, plus its NUL.
const int kFormatLimit = 1025;

// Copies as much of `text` as fits into `buffer` with its NUL, never
// splitting a double-byte character.
void CopyWholeCharacters(const char* text, char* buffer, int size)
{
    const char* end = text;
    while (*end) {
        const char* next = CAnsiCodePage::Next(end);
        if (next - text > size - 1)
            break;
        end = next;
    }
    std::memcpy(buffer, text, end - text);
    buffer[end - text] = '\0';
}

} // namespace

#ifdef _WIN32

bool CAnsiCodePage::IsLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

const char* CAnsiCodePage::NextMultiByte(const char* text)
{
    return CharNextA(text);
}

// Each conversion is one call into a buffer sized by its input: a byte of
// UTF-8 gives at most one UTF-16 unit (four give a surrogate pair), and a
// unit at most two bytes of the code page. The text is then cut to size.
char* CAnsiCodePage::Utf8ToAnsi(const char* bytes, int size, int* length)
{
    *length = 0;
    if (size < 0)
        size = 0;
    wchar_t* wide = static_cast<wchar_t*>(std::malloc((static_cast<size_t>(size) + 1) * sizeof(wchar_t)));
    if (!wide)
        return nullptr;
    int wideLength = size > 0 ? MultiByteToWideChar(CP_UTF8, 0, bytes, size, wide, size) : 0;
    int room = wideLength < INT_MAX / 2 ? 2 * wideLength : INT_MAX - 1;
    char* ansi = static_cast<char*>(std::malloc(static_cast<size_t>(room) + 1));
    if (ansi) {
        int ansiLength = wideLength > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, wideLength, ansi, room, nullptr, nullptr) : 0;
        ansi[ansiLength] = '\0';
        *length = ansiLength;
        if (char* fitted = static_cast<char*>(std::realloc(ansi, ansiLength + 1)))
            ansi = fitted;
    }
    std::free(wide);
    return ansi;
}

int CAnsiCodePage::FormatV(char* buffer, int size, const char* format, va_list args)
{
    // wvsprintfA writes at most 1024 bytes and knows no buffer size, so it
    // writes into a buffer of that size and the result is cut to fit.
    char whole[kFormatLimit];
    whole[0] = '\0';
    int count = wvsprintfA(whole, format, args);
    whole[kFormatLimit - 1] = '\0';
    CopyWholeCharacters(whole, buffer, size);
    return count;
}

#else // Native stand-in for code page 936.

bool CAnsiCodePage::IsLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

const char* CAnsiCodePage::NextMultiByte(const char* text)
{
    if (IsLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0')
        return text + 2;
    return text + 1;
}

namespace {

const unsigned kReplacement = 0xFFFD;

// Decodes one UTF-8 character at `p` (before `end`) into `code` and returns
// the bytes it used. A malformed sequence gives the replacement character
// and uses its longest valid beginning, at least one byte.
int DecodeUtf8(const unsigned char* p, const unsigned char* end, unsigned* code)
{
    unsigned char lead = p[0];
    if (lead < 0x80) {
        *code = lead;
        return 1;
    }
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
        if (p + used >= end) {
            *code = kReplacement;
            return used;
        }
        unsigned char byte = p[used];
        unsigned char min = i == 0 ? low : 0x80;
        unsigned char max = i == 0 ? high : 0xBF;
        if (byte < min || byte > max) {
            *code = kReplacement;
            return used;
        }
        value = (value << 6) | (byte & 0x3F);
        ++used;
    }
    *code = value;
    return used;
}

// The code page 936 bytes of one character from the basic multilingual
// plane, as iconv gives them: a byte in the low 8 bits, or a lead byte above
// a trail byte; 0 when the code page has no such character.
unsigned EncodeCp936(iconv_t converter, unsigned code)
{
    if (code == 0x20AC) // the euro sign is the one single byte above 0x7F
        return 0x80;
    if (converter == reinterpret_cast<iconv_t>(-1) || code == kReplacement)
        return 0;
    char in[4] = {static_cast<char>(code & 0xFF), static_cast<char>((code >> 8) & 0xFF), 0, 0};
    char* inPtr = in;
    size_t inLeft = sizeof in;
    unsigned char encoded[8];
    char* outPtr = reinterpret_cast<char*>(encoded);
    size_t outLeft = sizeof encoded;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return 0;
    size_t n = outPtr - reinterpret_cast<char*>(encoded);
    if (n == 1)
        return encoded[0];
    if (n == 2)
        return (encoded[0] << 8) | encoded[1];
    return 0;
}

// The encodings of the basic multilingual plane, looked up in blocks of 256
// characters that are filled on first use, so that a text pays for iconv
// once per block it touches instead of once per character.
class Cp936Table
{
public:
    unsigned Lookup(unsigned code)
    {
        Block& block = m_blocks[code >> 8];
        if (!block.ready.load(std::memory_order_acquire))
            Fill(block, code & ~0xFFu);
        return block.codes[code & 0xFF];
    }

private:
    struct Block
    {
        std::atomic<bool> ready;
        unsigned short codes[256];
    };

    void Fill(Block& block, unsigned first)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (block.ready.load(std::memory_order_relaxed))
            return;
        iconv_t converter = iconv_open("CP936", "UTF-32LE");
        if (converter == reinterpret_cast<iconv_t>(-1))
            converter = iconv_open("GBK", "UTF-32LE");
        for (unsigned i = 0; i < 256; ++i)
            block.codes[i] = static_cast<unsigned short>(EncodeCp936(converter, first + i));
        if (converter != reinterpret_cast<iconv_t>(-1))
            iconv_close(converter);
        block.ready.store(true, std::memory_order_release);
    }

    Block m_blocks[256] = {};
    std::mutex m_mutex;
};

Cp936Table g_cp936;

// Copies the ASCII bytes from `p` on, eight at a time while they last;
// returns where the first other byte (or `end`) stands.
const unsigned char* CopyAscii(const unsigned char* p, const unsigned char* end, char*& out)
{
    const uint64_t kHighBits = 0x8080808080808080ull;
    while (end - p >= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & kHighBits)
            break;
        std::memcpy(out, &word, 8);
        p += 8;
        out += 8;
    }
    while (p < end && *p < 0x80)
        *out++ = static_cast<char>(*p++);
    return p;
}

} // namespace

char* CAnsiCodePage::Utf8ToAnsi(const char* bytes, int size, int* length)
{
    *length = 0;
    if (size < 0)
        size = 0;
    // Every character takes no more bytes in code page 936 than in UTF-8.
    char* ansi = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1));
    if (!ansi)
        return nullptr;

    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    const unsigned char* end = p + size;
    char* out = ansi;
    while ((p = CopyAscii(p, end, out)) < end) {
        unsigned code;
        p += DecodeUtf8(p, end, &code);
        if (code > 0xFFFF) {
            // A surrogate pair: neither half has a character in the code page.
            *out++ = '?';
            *out++ = '?';
            continue;
        }
        unsigned encoded = g_cp936.Lookup(code);
        if (encoded == 0) {
            *out++ = '?';
        } else {
            if (encoded > 0xFF)
                *out++ = static_cast<char>(encoded >> 8);
            *out++ = static_cast<char>(encoded & 0xFF);
        }
    }
    *out = '\0';
    *length = static_cast<int>(out - ansi);
    return ansi;
}

int CAnsiCodePage::FormatV(char* buffer, int size, const char* format, va_list args)
{
    char whole[kFormatLimit];
    whole[0] = '\0';
    int count = std::vsnprintf(whole, sizeof whole, format, args);
    if (count < 0)
        count = 0;
    if (count > kFormatLimit - 1)
        count = kFormatLimit - 1;
    CopyWholeCharacters(whole, buffer, size);
    return count;
}

#endif

} // namespace ui
