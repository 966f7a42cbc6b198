#pragma once

// Reading of attribute values in skin texts. Nothing here fails: a value or
// part of a value that does not parse reads as 0. Portable: no platform
// headers are needed.

namespace ui {

// True for the exact text "true", false for every other text (and null).
bool ReadBoolValue(const char* text);

// The leading decimal integer of the text: blanks are skipped, one sign is
// allowed; 0 when there is none. Values beyond 32 bits saturate.
int ReadIntValue(const char* text);

// Reads `count` decimal integers, each one separated from the previous by
// exactly one arbitrary character (normally a comma; blanks after it are
// allowed, so "10, 0, 0, 0" reads as four numbers). Values missing at the
// end of the text are 0; reading never passes the end of the text.
// Returns how many of the `count` positions the text reached (a position
// whose text is not a number reads as 0 and still counts).
int ReadIntListValue(const char* text, int* values, int count);

// "l,t,r,b" into any rectangle with left, top, right and bottom members,
// read as ReadIntListValue reads four numbers. A template, so that this
// portable reader fills the platform's rectangle without knowing it.
template <class Rect>
Rect ReadRectValue(const char* text)
{
    int v[4];
    ReadIntListValue(text, v, 4);
    Rect rect = Rect();
    rect.left = v[0];
    rect.top = v[1];
    rect.right = v[2];
    rect.bottom = v[3];
    return rect;
}

// "cx,cy" into any size with cx and cy members.
template <class Size>
Size ReadSizeValue(const char* text)
{
    int v[2];
    ReadIntListValue(text, v, 2);
    Size size = Size();
    size.cx = v[0];
    size.cy = v[1];
    return size;
}

// `value` held within `limit` either side of zero: positions computed from
// numbers read out of text are kept where the sums made of them still fit
// in an int.
inline int HoldWithin(long long value, long long limit)
{
    return static_cast<int>(value < -limit ? -limit : value > limit ? limit : value);
}

// A colour written as a hexadecimal AARRGGBB number after an optional "#".
// With `skipLeadingBlanks` blanks before the "#" are skipped; blanks before
// the digits are always skipped. Values beyond 32 bits saturate.
unsigned ReadColorValue(const char* text, bool skipLeadingBlanks);

} // namespace ui
