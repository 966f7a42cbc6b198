#include "ui/gfx/MarkupLayout.h"

#include <stdint.h>

#include "ui/base/AttributeValue.h"
#include "ui/base/Utf8.h"
#include "ui/gfx/Renderer.h"
#include "ui/gfx/TextLayoutCache.h"

namespace ui {

namespace {

void* IntToSlot(int value) { return reinterpret_cast<void*>(static_cast<intptr_t>(value)); }
int SlotToInt(void* slot) { return static_cast<int>(reinterpret_cast<intptr_t>(slot)); }
void* ColorToSlot(DWORD color) { return reinterpret_cast<void*>(static_cast<uintptr_t>(color)); }
DWORD SlotToColor(void* slot) { return static_cast<DWORD>(reinterpret_cast<uintptr_t>(slot)); }

void PopSlot(CUIPtrArray& stack)
{
    if (stack.GetSize() > 0)
        stack.Remove(stack.GetSize() - 1);
}

// The end of the text or a line break ("\n" or "\r\n").
bool AtLineBreak(const char* text)
{
    return text[0] == '\0' || text[0] == '\n' || (text[0] == '\r' && text[1] == '\n');
}

// The pen's position, the line height and the spacings that tags move by
// are held within an eighth of the range of int, so that the few of them
// summed when a line is placed still fit, however large the tags' numbers.
const long long kLayoutLimit = 0x7FFFFFFF / 8;

int Hold(long long value) { return HoldWithin(value, kLayoutLimit); }

bool IsAsciiLetter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }

// The start of the last character of [start, end); `start` when empty.
const char* LastCharStart(const char* start, const char* end)
{
    const char* last = start;
    for (const char* c = start; c < end; c = CUtf8::Next(c))
        last = c;
    return last;
}

int CountChars(const char* start, const char* end)
{
    int count = 0;
    for (const char* c = start; c < end; c = CUtf8::Next(c))
        ++count;
    return count;
}

const char kEllipsis[] = "...";

} // namespace

CMarkupLayout::CMarkupLayout(HDC dc, IResourcesUI* resources, UINT style)
    : m_dc(dc)
    , m_resources(resources)
    , m_style(style)
    , m_rc()
    , m_defaultColor(0)
    , m_defaultFont(nullptr)
    , m_linkRects(nullptr)
    , m_linkTexts(nullptr)
    , m_linkCapacity(0)
    , m_linkIndex(0)
    , m_lineLinkIndex(0)
    , m_linkStart()
    , m_hoverFound(false)
    , m_draw((style & DT_CALCRECT) == 0)
    , m_lineDraw(false)
    , m_lineEnd(false)
    , m_stop(false)
    , m_raw(false)
    , m_inLink(false)
    , m_selection(false)
    , m_text(nullptr)
    , m_pen()
    , m_lineHeight(0)
    , m_drawHeight(0)
    , m_minHeight(0)
    , m_maxX(0)
    , m_font(nullptr)
    , m_fonts(10)
    , m_colors(10)
    , m_spacings(10)
    , m_line()
{
}

// ---- stacks and line state -------------------------------------------------

UIFontInfo* CMarkupLayout::TopFont() const
{
    int size = m_fonts.GetSize();
    return size > 0 ? static_cast<UIFontInfo*>(m_fonts.GetAt(size - 1)) : m_defaultFont;
}

DWORD CMarkupLayout::TopColor() const
{
    int size = m_colors.GetSize();
    return size > 0 ? SlotToColor(m_colors.GetAt(size - 1)) : m_defaultColor;
}

int CMarkupLayout::TopSpacing() const
{
    int size = m_spacings.GetSize();
    return size > 0 ? SlotToInt(m_spacings.GetAt(size - 1)) : 0;
}

void CMarkupLayout::SelectFont(UIFontInfo* font)
{
    m_font = font;
    ::SelectObject(m_dc, font->font);
}

void CMarkupLayout::ApplyColor()
{
    if (m_draw)
        ::SetTextColor(m_dc, CRenderer::ToColorRef(TopColor()));
}

const TEXTMETRICW& CMarkupLayout::Metrics()
{
    // The resources measure their fonts lazily; one they could not measure
    // yet is measured here, through the DC it is selected into.
    if (m_font->metrics.tmHeight == 0)
        ::GetTextMetricsW(m_dc, &m_font->metrics);
    return m_font->metrics;
}

int CMarkupLayout::FontLineHeight()
{
    const TEXTMETRICW& tm = Metrics();
    return tm.tmHeight + tm.tmExternalLeading + TopSpacing();
}

void CMarkupLayout::RaiseLineHeight(int height)
{
    if (m_lineHeight < height)
        m_lineHeight = height;
}

int CMarkupLayout::PlacementHeight() const
{
    return m_lineDraw ? m_drawHeight : m_lineHeight;
}

void CMarkupLayout::PushFont(UIFontInfo* font)
{
    if (!m_fonts.Add(font))
        return;
    SelectFont(font);
    RaiseLineHeight(FontLineHeight());
}

void CMarkupLayout::PopFont()
{
    UIFontInfo* previous = m_font;
    PopSlot(m_fonts);
    UIFontInfo* font = TopFont();
    // Leaving italic text: half the space's trailing spacing keeps the
    // slanted last character from touching what follows.
    if (previous->italic && !font->italic) {
        ABC abc;
        if (::GetCharABCWidthsW(m_dc, L' ', L' ', &abc))
            m_pen.x += abc.abcC / 2;
    }
    SelectFont(font);
    RaiseLineHeight(FontLineHeight());
}

void CMarkupLayout::PushColor(DWORD color)
{
    if (m_colors.Add(ColorToSlot(color)))
        ApplyColor();
}

void CMarkupLayout::PopColor()
{
    PopSlot(m_colors);
    ApplyColor();
}

void CMarkupLayout::SaveLine()
{
    m_line.text = m_text;
    m_line.pen = m_pen;
    m_line.fonts = m_fonts;
    m_line.colors = m_colors;
    m_line.spacings = m_spacings;
    m_line.raw = m_raw;
    m_line.selection = m_selection;
    m_line.inLink = m_inLink;
    m_line.linkIndex = m_linkIndex;
    m_line.linkStart = m_linkStart;
}

void CMarkupLayout::RestoreLine()
{
    m_text = m_line.text;
    m_pen = m_line.pen;
    m_fonts = m_line.fonts;
    m_colors = m_line.colors;
    m_spacings = m_line.spacings;
    m_raw = m_line.raw;
    m_selection = m_line.selection;
    m_inLink = m_line.inLink;
    m_linkIndex = m_line.linkIndex;
    m_linkStart = m_line.linkStart;
    SelectFont(TopFont());
    ApplyColor();
}

// ---- the main loop and line ends -------------------------------------------------

void CMarkupLayout::Run(RECT& rc, const char* text, DWORD color, RECT* linkRects, CUIString* linkTexts,
                        int& linkCount)
{
    m_rc = rc;
    m_defaultColor = color;
    m_defaultFont = m_resources->GetDefaultFontRecord();
    m_linkRects = linkRects;
    m_linkTexts = linkTexts;
    m_linkCapacity = linkRects != nullptr && linkTexts != nullptr && linkCount > 0 ? linkCount : 0;

    // The link under the mouse, from the rectangles of the previous layout.
    POINT mouse = m_resources->GetLastMousePos();
    for (int i = 0; i < m_linkCapacity; ++i) {
        if (::PtInRect(&m_linkRects[i], mouse)) {
            m_hoverLink = m_linkTexts[i];
            m_hoverFound = true;
            break;
        }
    }

    SelectFont(m_defaultFont);
    ApplyColor();
    m_text = text;
    m_pen.x = m_rc.left;
    m_pen.y = m_rc.top;
    m_maxX = m_rc.left;
    m_minHeight = m_rc.top;
    m_lineHeight = FontLineHeight();
    SaveLine();

    while (!m_stop) {
        if (AtLineBreak(m_text)) {
            m_lineEnd = true;
        } else {
            Step();
            if (m_pen.x >= m_rc.right || AtLineBreak(m_text))
                m_lineEnd = true;
        }
        if (m_pen.x > m_maxX)
            m_maxX = m_pen.x;
        if (m_lineEnd)
            EndLine();
    }

    linkCount = m_linkIndex < m_linkCapacity ? m_linkIndex : m_linkCapacity;
    if (!m_draw) {
        int bottom = m_pen.y + m_lineHeight;
        rc.bottom = m_minHeight > bottom ? m_minHeight : bottom;
        if (m_maxX < rc.right)
            rc.right = m_maxX;
    }
}

void CMarkupLayout::EndLine()
{
    m_lineEnd = false;
    if (*m_text == '\r' && m_text[1] == '\n')
        m_text += 2;
    else if (*m_text == '\n')
        ++m_text;
    bool last = *m_text == '\0' || (m_style & DT_SINGLELINE) != 0;

    if (!m_lineDraw) {
        // An open link is closed at the line end and goes on in the next
        // slot; every link of the line reaches down to the line's bottom.
        int bottom = m_pen.y + m_lineHeight;
        int end = m_linkIndex;
        if (m_inLink && m_linkIndex < m_linkCapacity) {
            RECT& rect = m_linkRects[m_linkIndex];
            rect.left = m_linkStart.x;
            rect.top = m_linkStart.y;
            rect.right = m_pen.x < m_rc.right ? m_pen.x : m_rc.right;
            if (m_linkIndex + 1 < m_linkCapacity)
                m_linkTexts[m_linkIndex + 1] = m_linkTexts[m_linkIndex];
            ++end;
        }
        for (int i = m_lineLinkIndex; i < end; ++i)
            m_linkRects[i].bottom = bottom;

        if (m_draw) {
            m_drawHeight = m_lineHeight;
            RestoreLine();
            m_lineDraw = true;
            return;
        }
        if (m_inLink && m_linkIndex < m_linkCapacity)
            ++m_linkIndex;
        if (last) {
            m_stop = true;
            return;
        }
        m_pen.y = Hold(static_cast<long long>(m_pen.y) + m_lineHeight);
    } else {
        if (m_inLink && m_linkIndex < m_linkCapacity)
            ++m_linkIndex;
        if (last) {
            m_stop = true;
            return;
        }
        m_pen.y = Hold(static_cast<long long>(m_pen.y) + m_drawHeight);
        if (m_pen.y >= m_rc.bottom) {
            m_stop = true;
            return;
        }
        m_lineDraw = false;
    }

    m_pen.x = m_rc.left;
    m_lineHeight = FontLineHeight();
    if (m_inLink)
        m_linkStart = m_pen;
    m_lineLinkIndex = m_linkIndex;
    SaveLine();
}

void CMarkupLayout::Step()
{
    MarkupToken token;
    CMarkupTokenizer::Read(m_text, m_raw, token);
    switch (token.kind) {
    case MarkupText:
        TextRun();
        break;
    case MarkupEscape:
        EscapedChar(token.letter, token.next);
        break;
    case MarkupRawEnd:
        m_raw = false;
        m_text = token.next;
        break;
    case MarkupOpenTag:
        OpenTag(token);
        break;
    case MarkupCloseTag:
        CloseTag(token);
        break;
    }
}

// ---- text runs ---------------------------------------------------------------

int CMarkupLayout::Width(const char* run, int length)
{
    SIZE size = { 0, 0 };
    if (length > 0) {
        CWideText wide(run, length);
        ::GetTextExtentPoint32W(m_dc, wide, wide.GetLength(), &size);
    }
    return size.cx;
}

void CMarkupLayout::DrawRun(const char* run, int length, int y)
{
    if (!m_draw || !m_lineDraw || length <= 0)
        return;
    ::SetBkMode(m_dc, m_selection ? OPAQUE : TRANSPARENT);
    CWideText wide(run, length);
    ::TextOutW(m_dc, m_pen.x, y, wide, wide.GetLength());
    if (m_recorder != nullptr)
        m_recorder->AddRun(m_font->font, TopColor(), m_selection, { m_pen.x, y }, wide, wide.GetLength());
}

void CMarkupLayout::TextRun()
{
    const TEXTMETRICW& tm = Metrics();
    // Widths are estimated generously per character and measured exactly
    // only near the right edge.
    int estimate = tm.tmMaxCharWidth > tm.tmHeight ? tm.tmMaxCharWidth : tm.tmHeight;
    int top = tm.tmHeight + tm.tmExternalLeading;

    const char* start = m_text;
    const char* q = start;
    bool single = !m_raw && *start == ' ';  // a lone space is a step of its own
    bool overflow = false;
    int count = 0;
    while (q == start || (!single && !CMarkupTokenizer::IsRunStop(q, m_raw))) {
        const char* next = CUtf8::Next(q);
        ++count;
        if (m_pen.x + count * estimate >= m_rc.right
            && m_pen.x + Width(start, static_cast<int>(next - start)) > m_rc.right) {
            overflow = true;
            break;
        }
        q = next;
    }

    // Without overflow the run ends at q; with it, q is the character that
    // crossed the edge and is left for the next line.
    const char* end = q;
    bool ellipsis = false;
    if (overflow) {
        // The first character of a line is kept even when it does not fit,
        // so that every line takes something.
        if (end == start && AtLineStart())
            end = CUtf8::Next(start);
        if ((m_style & DT_WORDBREAK) != 0) {
            const char* boundary = nullptr;
            for (const char* c = start; c < end; c = CUtf8::Next(c)) {
                if (!IsAsciiLetter(*c))
                    boundary = CUtf8::Next(c);
            }
            if (boundary != nullptr)
                end = boundary;
        }
        if ((m_style & DT_END_ELLIPSIS) != 0 && end > start) {
            ellipsis = true;
            int drop = CountChars(start, end) >= 2 ? 2 : 1;
            while (drop-- > 0)
                end = LastCharStart(start, end);
            // Fewer characters still, until the dots fit too.
            int dots = Width(kEllipsis, 3);
            while (end > start && m_pen.x + Width(start, static_cast<int>(end - start)) + dots > m_rc.right)
                end = LastCharStart(start, end);
        }
    }

    int length = static_cast<int>(end - start);
    int width = Width(start, length);
    int y = m_pen.y + PlacementHeight() - top;
    DrawRun(start, length, y);
    m_pen.x += width;
    if (ellipsis) {
        DrawRun(kEllipsis, 3, y);
        m_pen.x = m_rc.right;
    }
    m_text = end;
    if (overflow)
        m_lineEnd = true;
}

void CMarkupLayout::EscapedChar(char ch, const char* next)
{
    const TEXTMETRICW& tm = Metrics();
    int width = Width(&ch, 1);
    if (m_pen.x + width > m_rc.right && !AtLineStart()) {
        m_lineEnd = true;
        return;
    }
    DrawRun(&ch, 1, m_pen.y + PlacementHeight() - tm.tmHeight - tm.tmExternalLeading);
    m_pen.x += width;
    m_text = next;
}

// ---- tags --------------------------------------------------------------------------

void CMarkupLayout::OpenTag(const MarkupToken& token)
{
    const char* argument = token.argument.GetData();
    const char* value = CMarkupTokenizer::SkipBlanks(argument);
    int number = 0;
    switch (token.letter) {
    case 'a':
        OpenLink(value);
        break;
    case 'b':
        if (!m_font->bold)
            PushVariant(true, false, false);
        break;
    case 'c':
        PushColor(ReadColorValue(value, true));
        break;
    case 'f':
        PushNamedFont(value);
        break;
    case 'i': {
        MarkupImageSpec image;
        if (CMarkupTokenizer::ReadImage(argument, image)) {
            PlaceImage(image, token.next);
            return;
        }
        if (!m_font->italic)
            PushVariant(false, false, true);
        break;
    }
    case 'n':
        if ((m_style & DT_SINGLELINE) == 0)
            m_lineEnd = true;
        break;
    case 'p':
        // A paragraph starts on a line of its own: the tag is read again
        // at the start of the next line.
        if (!AtLineStart()) {
            m_lineEnd = true;
            return;
        }
        CMarkupTokenizer::ReadNumber(value, number);
        number = Hold(number);
        if (m_spacings.Add(IntToSlot(number)))
            m_lineHeight = Hold(static_cast<long long>(m_lineHeight) + number);
        break;
    case 'r':
        m_raw = true;
        break;
    case 's':
        m_selection = !m_selection;
        break;
    case 'u':
        if (!m_font->underline)
            PushVariant(false, true, false);
        break;
    case 'x':
        CMarkupTokenizer::ReadNumber(value, number);
        m_pen.x = Hold(static_cast<long long>(m_pen.x) + number);
        break;
    case 'y':
        CMarkupTokenizer::ReadNumber(value, number);
        m_lineHeight = Hold(number);
        break;
    default:
        break;  // a tag without a meaning is skipped
    }
    m_text = token.next;
}

void CMarkupLayout::CloseTag(const MarkupToken& token)
{
    switch (token.letter) {
    case 'a':
        CloseLink();
        break;
    case 'b':
    case 'f':
    case 'i':
    case 'u':
        PopFont();
        break;
    case 'c':
        PopColor();
        break;
    case 'p':
        if (!AtLineStart()) {
            m_lineEnd = true;
            return;
        }
        PopSlot(m_spacings);
        RaiseLineHeight(FontLineHeight());
        break;
    case 's':
        m_selection = !m_selection;
        break;
    default:
        break;
    }
    m_text = token.next;
}

void CMarkupLayout::OpenLink(const char* target)
{
    if (!m_lineDraw && m_linkIndex < m_linkCapacity)
        m_linkTexts[m_linkIndex] = target;
    DWORD color = m_resources->GetLinkTextColor();
    if (m_hoverFound && m_linkIndex < m_linkCapacity && m_linkTexts[m_linkIndex] == m_hoverLink)
        color = m_resources->GetLinkHoverTextColor();
    PushColor(color);
    if (!m_font->underline)
        PushVariant(false, true, false);
    m_linkStart = m_pen;
    m_inLink = true;
}

void CMarkupLayout::CloseLink()
{
    // A closing tag without an open link records nothing.
    if (m_inLink && m_linkIndex < m_linkCapacity) {
        if (!m_lineDraw) {
            const TEXTMETRICW& tm = Metrics();
            RECT& rect = m_linkRects[m_linkIndex];
            rect.left = m_linkStart.x;
            rect.top = m_linkStart.y;
            rect.right = m_pen.x;
            rect.bottom = m_pen.y + tm.tmHeight + tm.tmExternalLeading;
        }
        ++m_linkIndex;
    }
    PopColor();
    m_inLink = false;
    PopFont();
}

void CMarkupLayout::PushVariant(bool bold, bool underline, bool italic)
{
    UIFontInfo* base = m_font;
    bold = bold || base->bold;
    underline = underline || base->underline;
    italic = italic || base->italic;
    HFONT font = m_resources->FindFont(base->face, base->size, bold, underline, italic);
    if (font == nullptr)
        font = m_resources->RegisterFont(base->face, base->size, bold, underline, italic);
    // A variant that cannot be made repeats the current font, so that the
    // closing tag still pops what the opening one pushed.
    PushFont(font != nullptr ? m_resources->GetFontRecord(font) : base);
}

void CMarkupLayout::PushNamedFont(const char* argument)
{
    MarkupFontSpec spec;
    CMarkupTokenizer::ReadFont(argument, spec);
    if (spec.byIndex) {
        PushFont(m_resources->GetFontRecord(spec.index));
        return;
    }
    HFONT font = m_resources->FindFont(spec.face, spec.size, spec.bold, spec.underline, spec.italic);
    if (font == nullptr)
        font = m_resources->RegisterFont(spec.face, spec.size, spec.bold, spec.underline, spec.italic);
    PushFont(font != nullptr ? m_resources->GetFontRecord(font) : m_font);
}

// ---- inline images -------------------------------------------------------------------

void CMarkupLayout::PlaceImage(const MarkupImageSpec& spec, const char* next)
{
    const char* type = spec.resourceType.IsEmpty() ? nullptr : spec.resourceType.GetData();
    UIImageInfo* image = spec.name.IsEmpty() ? nullptr : m_resources->GetOrLoadImage(spec.name, type, 0);
    if (image == nullptr || image->bitmap == nullptr) {
        m_text = next;  // an image that cannot be loaded is skipped
        return;
    }
    int width = image->width / spec.count;
    int height = image->height;
    bool fits = m_pen.x + width <= m_rc.right || AtLineStart() || (m_style & DT_SINGLELINE) != 0;
    if (!fits) {
        m_lineEnd = true;  // read again at the start of the next line
        return;
    }
    if (m_draw && m_lineDraw) {
        int line = PlacementHeight();
        RECT dest = { m_pen.x, m_pen.y + line - height, m_pen.x + width, m_pen.y + line };
        if (height < line)
            ::OffsetRect(&dest, 0, -(line - height) / 2);
        RECT source = { width * spec.index, 0, width * (spec.index + 1), height };
        RECT corners = { 0, 0, 0, 0 };
        CRenderer::BlitImage(m_dc, image->bitmap, dest, m_rc, source, corners, image->alpha, 255, false, false,
                             false);
        if (m_recorder != nullptr)
            m_recorder->Abandon();
    }
    RaiseLineHeight(height);
    m_pen.x += width;
    if (m_minHeight < m_pen.y + height)
        m_minHeight = m_pen.y + height;
    m_text = next;
}

} // namespace ui
