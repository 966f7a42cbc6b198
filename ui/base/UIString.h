#pragma once

namespace ui {

// The framework's string: 8-bit text in UTF-8, whatever the system's code
// page. Texts of up to 62 bytes live in the inline buffer, longer ones in a
// heap block. Lengths are byte counts (a Chinese character counts 3).
class CUIString
{
public:
    enum { kInlineSize = 64, kInlineMax = 62 };

    CUIString();
    CUIString(const char* text, int length = -1);
    CUIString(const CUIString& other);
    CUIString& operator=(const CUIString& other);
    CUIString& operator=(const char* text);
    ~CUIString();

    // Copies `length` bytes of `text` (-1: up to its NUL; null: the empty
    // text) and terminates them.
    void Assign(const char* text, int length = -1);
    void Append(const char* text);
    void Append(char ch);
    CUIString& operator+=(const char* text);
    CUIString& operator+=(char ch);
    CUIString operator+(const char* text) const;

    void Empty();
    bool IsEmpty() const { return m_pstr[0] == '\0'; }

    // The first `n` bytes; `n` is limited to 0 … length.
    CUIString Left(int n) const;

    // Formats like wvsprintfA and assigns the result, which holds at most
    // 63 bytes: a longer result is cut at a character boundary. Returns
    // the number of characters the formatter reported.
    int Format(const char* format, ...);

    const char* GetData() const { return m_pstr; }
    operator const char*() const { return m_pstr; }
    int GetLength() const;
    char GetAt(int index) const;

    // Exact byte-wise comparison, as the multi-byte compare of the runtime.
    int Compare(const char* text) const;
    bool operator==(const char* text) const { return Compare(text) == 0; }
    bool operator!=(const char* text) const { return Compare(text) != 0; }
    bool operator==(const CUIString& other) const { return Compare(other.m_pstr) == 0; }
    bool operator!=(const CUIString& other) const { return Compare(other.m_pstr) != 0; }

    // True while the text lives in the inline buffer.
    bool IsInline() const { return m_pstr == m_szBuffer; }

private:
    char* m_pstr;
    char m_szBuffer[kInlineSize];
};

} // namespace ui
