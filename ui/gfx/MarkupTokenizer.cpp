#include "ui/gfx/MarkupTokenizer.h"

#include <cstring>

#include "ui/base/Utf8.h"

namespace ui {

namespace {

bool IsOpening(char ch) { return ch == '{' || ch == '<'; }
bool IsClosing(char ch) { return ch == '}' || ch == '>'; }
bool IsTagLetter(char ch) { return ch >= 'a' && ch <= 'z'; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// The first closing bracket at or after `text`, stepping whole characters
// (a trail byte may equal a bracket); null when the text ends first.
const char* FindClosing(const char* text)
{
    while (*text != '\0' && !IsClosing(*text))
        text = CUtf8::Next(text);
    return *text != '\0' ? text : nullptr;
}

bool IsRawEnd(const char* text)
{
    return IsOpening(text[0]) && text[1] == '/' && text[2] == 'r' && IsClosing(text[3]);
}

// Reads one key='value' pair at `text`. False when the text there is not
// a pair or its value is not closed.
bool ReadPair(const char*& text, CUIString& key, CUIString& value)
{
    const char* equals = text;
    while (*equals != '\0' && *equals != '=')
        equals = CUtf8::Next(equals);
    if (*equals != '=' || equals[1] != '\'')
        return false;
    const char* start = equals + 2;
    const char* end = start;
    while (*end != '\0' && *end != '\'')
        end = CUtf8::Next(end);
    if (*end != '\'')
        return false;
    key.Assign(text, static_cast<int>(equals - text));
    value.Assign(start, static_cast<int>(end - start));
    text = end + 1;
    return true;
}

} // namespace

void CMarkupTokenizer::Read(const char* text, bool raw, MarkupToken& token)
{
    token.kind = MarkupText;
    token.letter = 0;
    token.argument.Empty();
    token.next = CUtf8::Next(text);

    if (raw) {
        if (IsRawEnd(text)) {
            token.kind = MarkupRawEnd;
            token.letter = 'r';
            token.next = text + 4;
        }
        return;
    }
    if (!IsOpening(text[0]))
        return;

    // The four escapes: <{> and <}> draw a brace, {<} and {>} an angle
    // bracket.
    if (text[0] == '<' && (text[1] == '{' || text[1] == '}') && text[2] == '>') {
        token.kind = MarkupEscape;
        token.letter = text[1];
        token.next = text + 3;
        return;
    }
    if (text[0] == '{' && (text[1] == '<' || text[1] == '>') && text[2] == '}') {
        token.kind = MarkupEscape;
        token.letter = text[1];
        token.next = text + 3;
        return;
    }

    if (IsTagLetter(text[1]) && (text[2] == ' ' || IsClosing(text[2]))) {
        const char* closing = FindClosing(text + 2);
        if (closing == nullptr)
            return;
        token.kind = MarkupOpenTag;
        token.letter = text[1];
        token.argument.Assign(text + 2, static_cast<int>(closing - (text + 2)));
        token.next = closing + 1;
        return;
    }
    if (text[1] == '/' && IsTagLetter(text[2])) {
        const char* closing = FindClosing(text + 3);
        if (closing == nullptr)
            return;
        token.kind = MarkupCloseTag;
        token.letter = text[2];
        token.next = closing + 1;
    }
}

bool CMarkupTokenizer::IsRunStop(const char* text, bool raw)
{
    if (text[0] == '\0' || text[0] == '\n' || (text[0] == '\r' && text[1] == '\n'))
        return true;
    return raw ? IsRawEnd(text) : IsOpening(text[0]);
}

const char* CMarkupTokenizer::SkipBlanks(const char* text)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    return text;
}

bool CMarkupTokenizer::ReadNumber(const char*& text, int& value)
{
    const char* p = SkipBlanks(text);
    bool negative = false;
    if (*p == '-' && IsDigit(p[1])) {
        negative = true;
        ++p;
    }
    value = 0;
    if (!IsDigit(*p))
        return false;
    long long number = 0;
    while (IsDigit(*p)) {
        if (number < 0x7FFFFFFF)
            number = number * 10 + (*p - '0');
        ++p;
    }
    if (number > 0x7FFFFFFF)
        number = 0x7FFFFFFF;
    value = static_cast<int>(negative ? -number : number);
    text = p;
    return true;
}

void CMarkupTokenizer::ReadFont(const char* argument, MarkupFontSpec& spec)
{
    spec = MarkupFontSpec();
    const char* p = SkipBlanks(argument);
    const char* number = p;
    if (ReadNumber(number, spec.index)) {
        spec.byIndex = true;
        return;
    }
    const char* faceEnd = p;
    while (*faceEnd != '\0' && *faceEnd != ' ' && !IsClosing(*faceEnd))
        faceEnd = CUtf8::Next(faceEnd);
    spec.face.Assign(p, static_cast<int>(faceEnd - p));

    p = SkipBlanks(faceEnd);
    if (IsDigit(*p))
        ReadNumber(p, spec.size);

    // The style words may be written in any case; only ASCII letters are
    // folded, so other characters stay as they are.
    CUIString rest;
    for (; *p != '\0'; ++p)
        rest.Append(*p >= 'A' && *p <= 'Z' ? static_cast<char>(*p - 'A' + 'a') : *p);
    const char* words = rest.GetData();
    spec.bold = strstr(words, "bold") != nullptr;
    spec.underline = strstr(words, "underline") != nullptr;
    spec.italic = strstr(words, "italic") != nullptr;
}

bool CMarkupTokenizer::ReadImage(const char* argument, MarkupImageSpec& spec)
{
    spec = MarkupImageSpec();
    const char* p = SkipBlanks(argument);
    if (*p == '\0')
        return false;

    if (strstr(p, "file='") != nullptr || strstr(p, "res='") != nullptr) {
        CUIString key;
        CUIString value;
        while (ReadPair(p, key, value)) {
            if (key == "file" || key == "res")
                spec.name = value;
            else if (key == "restype")
                spec.resourceType = value;
            if (*p != ' ')
                break;
            ++p;
        }
    } else {
        const char* end = p;
        while (*end != '\0' && *end != ' ')
            end = CUtf8::Next(end);
        spec.name.Assign(p, static_cast<int>(end - p));
        p = end;
    }
    // Pairs that name no image leave the name empty: nothing loads and
    // the tag is skipped.
    int count = 1;
    int index = 0;
    if (ReadNumber(p, count))
        ReadNumber(p, index);
    spec.count = count < 1 ? 1 : count;
    spec.index = index < 0 || index >= spec.count ? 0 : index;
    return true;
}

} // namespace ui
