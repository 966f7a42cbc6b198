#pragma once

// The image attribute string of skins: key='value' pairs that name an image
// and say how to draw it, for example
//   res='118' restype='png' source='0,0,100,22' corner='2,2,20,2'
// Portable: no platform headers are needed.

#include "ui/base/UIString.h"

namespace ui {

// A rectangle in pixels; right and bottom are exclusive.
struct UIImageRect
{
    int left;
    int top;
    int right;
    int bottom;
};

// The settings of one image drawing, gathered from attribute strings.
struct UIImageDrawInfo
{
    CUIString name;          // file name, or decimal resource id with a type
    CUIString resourceType;  // empty: a file
    UIImageRect dest;        // where to draw
    UIImageRect source;      // part of the image; all zero: the whole image
    UIImageRect corner;      // fixed border widths of the nine-grid
    unsigned mask;           // colour made transparent on loading; 0 = none
    unsigned char fade;      // constant opacity on top of the pixels' alpha
    bool hole;               // leave the middle of the nine-grid undrawn
    bool xTiled;             // repeat the middle horizontally
    bool yTiled;             // repeat the middle vertically

    // The defaults: `text` as the name, `control` as the destination.
    void Reset(const char* text, const UIImageRect& control);
};

// Reads image attribute strings into a UIImageDrawInfo. One string may
// describe several images: when a new image starts while another is
// pending, the pending one is handed to the draw callback first.
class CImageAttributeParser
{
public:
    // Draws one pending image with the settings gathered so far.
    typedef void (*DrawPending)(const UIImageDrawInfo& info, void* context);

    // `control` is the rectangle "dest" is relative to. The parser keeps
    // its count of pending images across calls of Parse; a new parser
    // starts at 0.
    CImageAttributeParser(const UIImageRect& control, DrawPending draw, void* context);

    // Applies the pairs of `text` to `info`. Reading stops at the first
    // malformed pair: no equals sign, no opening or closing quote, or a
    // closing quote followed by anything but a space or the end. Empty
    // values and unknown keys are ignored.
    void Parse(const char* text, UIImageDrawInfo& info);

    // Forgets the pending images (a modifier string starts afresh).
    void ResetPending() { m_pending = 0; }
    int GetPending() const { return m_pending; }

    // Reads up to four decimal numbers, each separated from the previous by
    // one character; blanks before a number are skipped. Numbers missing at
    // the end read as 0 and reading never passes the end of the text.
    static UIImageRect ReadRect(const char* text);

private:
    void Apply(const char* key, const char* value, UIImageDrawInfo& info);
    void FlushPending(const UIImageDrawInfo& info);

    UIImageRect m_control;
    DrawPending m_draw;
    void* m_context;
    int m_pending;
};

} // namespace ui
