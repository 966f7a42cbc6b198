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

// A colour written as a hexadecimal AARRGGBB number after an optional "#".
// With `skipLeadingBlanks` blanks before the "#" are skipped; blanks before
// the digits are always skipped. Values beyond 32 bits saturate.
unsigned ReadColorValue(const char* text, bool skipLeadingBlanks);

} // namespace ui
