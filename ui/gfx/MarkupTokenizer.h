#pragma once

// Recognition of the inline markup of texts: tags in braces or angle
// brackets ("{b}", "<c #FF0000>", "{/f}"), the escapes of the four
// bracket characters and the end of a raw passage, and the reading of tag
// arguments. Laying out and drawing are the renderer's. Portable: no
// platform headers; characters are stepped as UTF-8, so none is split.

#include "ui/base/UIString.h"

namespace ui {

enum MarkupTokenKind
{
    MarkupText,     // not markup: a text run starts here
    MarkupOpenTag,  // {x} or {x argument}
    MarkupCloseTag, // {/x...}
    MarkupEscape,   // <{> <}> {<} {>}: one bracket character to draw
    MarkupRawEnd,   // {/r} inside a raw passage
};

struct MarkupToken
{
    MarkupTokenKind kind;
    char letter;        // the tag's letter, or the character an escape draws
    CUIString argument; // open tag: what follows the letter, blanks kept
    const char* next;   // the position right after the token

    MarkupToken() : kind(MarkupText), letter(0), next(nullptr) {}
};

// A font named in a tag: by number, or by face, size and style words.
struct MarkupFontSpec
{
    bool byIndex;
    int index;
    CUIString face;
    int size;  // 10 when the tag gives none
    bool bold;
    bool underline;
    bool italic;

    MarkupFontSpec() : byIndex(false), index(0), size(10), bold(false), underline(false), italic(false) {}
};

// An inline image: its name, resource type (empty for a file), and which
// of `count` equal-width frames to draw.
struct MarkupImageSpec
{
    CUIString name;
    CUIString resourceType;
    int count;
    int index;

    MarkupImageSpec() : count(1), index(0) {}
};

class CMarkupTokenizer
{
public:
    // Reads the token at `text` (a character boundary, not the end). A tag
    // needs its closing bracket: an opening bracket without one is text.
    // Inside a raw passage only the end of the passage is markup.
    static void Read(const char* text, bool raw, MarkupToken& token);

    // True where a text run must stop before `text`: the end, a line break
    // ("\n" or "\r\n"), and outside raw passages an opening bracket; inside
    // them the end of the passage.
    static bool IsRunStop(const char* text, bool raw);

    // Skips the blanks at the start of a tag argument.
    static const char* SkipBlanks(const char* text);

    // A leading decimal integer after blanks, with an optional minus;
    // false (and `value` 0) when there is none. `text` moves past it.
    static bool ReadNumber(const char*& text, int& value);

    // The argument of {f}: a number, or "face size attributes" with the
    // style words "bold", "underline" and "italic" in any letter case.
    static void ReadFont(const char* argument, MarkupFontSpec& spec);

    // The argument of {i}: "name count index", or key='value' pairs
    // ("file", "res", "restype") followed by the count and index. A count
    // below 1 reads as 1, an index outside the frames as 0. False when the
    // argument is blank: the tag then means italic.
    static bool ReadImage(const char* argument, MarkupImageSpec& spec);
};

} // namespace ui
