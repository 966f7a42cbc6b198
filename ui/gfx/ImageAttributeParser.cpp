#include "ui/gfx/ImageAttributeParser.h"

#include <climits>
#include <cstring>

#include "ui/base/AttributeValue.h"

namespace ui {

namespace {

bool IsBlank(unsigned char ch)
{
    return ch != '\0' && ch <= ' ';
}

const char* SkipBlanks(const char* p)
{
    while (IsBlank(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

// A signed decimal number after optional blanks; saturates at the limits
// of int. `*end` is left after the last digit, or at `p` without digits.
int ReadDecimal(const char* p, const char** end)
{
    const char* start = p;
    p = SkipBlanks(p);
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (*p < '0' || *p > '9') {
        *end = start;
        return 0;
    }
    long long value = 0;
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit)
            value = limit;
    }
    *end = p;
    return static_cast<int>(negative ? -value : value);
}

// A hexadecimal colour after optional blanks and an optional "#";
// saturates at 0xFFFFFFFF.
unsigned ReadHexColor(const char* p)
{
    p = SkipBlanks(p);
    if (*p == '#')
        ++p;
    unsigned long long value = 0;
    for (;; ++p) {
        int digit;
        if (*p >= '0' && *p <= '9')
            digit = *p - '0';
        else if (*p >= 'a' && *p <= 'f')
            digit = *p - 'a' + 10;
        else if (*p >= 'A' && *p <= 'F')
            digit = *p - 'A' + 10;
        else
            break;
        value = value * 16 + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFULL)
            value = 0xFFFFFFFFULL;
    }
    return static_cast<unsigned>(value);
}

bool IsTrue(const char* value)
{
    return std::strcmp(value, "true") == 0;
}

// A control coordinate plus an offset read from the text, held within half
// the range of int: a destination may lie far outside the control, yet its
// width and height, taken by subtraction when it is drawn, must still fit.
int OffsetCoordinate(int base, int offset)
{
    return HoldWithin(static_cast<long long>(base) + offset, INT_MAX / 2);
}

// Source and corner numbers are held within a quarter of the range of int:
// the blit adds corners to the source and to a destination held within
// half the range, and offsets the source by a part of the destination.
UIImageRect HoldQuarter(const UIImageRect& rc)
{
    const long long limit = INT_MAX / 4;
    UIImageRect held = { HoldWithin(rc.left, limit), HoldWithin(rc.top, limit), HoldWithin(rc.right, limit),
                         HoldWithin(rc.bottom, limit) };
    return held;
}

} // namespace

void UIImageDrawInfo::Reset(const char* text, const UIImageRect& control)
{
    name.Assign(text);
    resourceType.Empty();
    dest = control;
    source = UIImageRect();
    corner = UIImageRect();
    mask = 0;
    fade = 255;
    hole = false;
    xTiled = false;
    yTiled = false;
}

CImageAttributeParser::CImageAttributeParser(const UIImageRect& control, DrawPending draw, void* context)
    : m_control(control), m_draw(draw), m_context(context), m_pending(0)
{
}

UIImageRect CImageAttributeParser::ReadRect(const char* text)
{
    int values[4] = { 0, 0, 0, 0 };
    const char* p = text;
    for (int i = 0; i < 4 && p != nullptr; ++i) {
        const char* end = p;
        values[i] = ReadDecimal(p, &end);
        // One separator follows each number; at the end of the text the
        // remaining numbers stay 0.
        p = *end != '\0' ? end + 1 : nullptr;
    }
    UIImageRect rect = { values[0], values[1], values[2], values[3] };
    return rect;
}

void CImageAttributeParser::Parse(const char* text, UIImageDrawInfo& info)
{
    if (text == nullptr)
        return;
    CUIString key;
    CUIString value;
    const char* p = text;
    while (*p != '\0') {
        p = SkipBlanks(p);
        const char* keyStart = p;
        while (*p != '\0' && *p != '=' && !IsBlank(static_cast<unsigned char>(*p)))
            ++p;
        key.Assign(keyStart, static_cast<int>(p - keyStart));
        p = SkipBlanks(p);
        if (*p != '=')
            break;
        p = SkipBlanks(p + 1);
        if (*p != '\'')
            break;
        const char* valueStart = ++p;
        while (*p != '\0' && *p != '\'')
            ++p;
        if (*p != '\'')
            break;
        value.Assign(valueStart, static_cast<int>(p - valueStart));
        ++p;
        Apply(key, value, info);
        if (*p != ' ')
            break;
        ++p;
    }
}

void CImageAttributeParser::FlushPending(const UIImageDrawInfo& info)
{
    if (m_pending > 0 && m_draw != nullptr)
        m_draw(info, m_context);
}

void CImageAttributeParser::Apply(const char* key, const char* value, UIImageDrawInfo& info)
{
    if (value[0] == '\0')
        return;
    if (std::strcmp(key, "file") == 0 || std::strcmp(key, "res") == 0) {
        FlushPending(info);
        info.name.Assign(value);
        if (key[0] == 'f')
            ++m_pending;
    } else if (std::strcmp(key, "restype") == 0) {
        FlushPending(info);
        info.resourceType.Assign(value);
        ++m_pending;
    } else if (std::strcmp(key, "dest") == 0) {
        UIImageRect rect = ReadRect(value);
        info.dest.left = OffsetCoordinate(m_control.left, rect.left);
        info.dest.top = OffsetCoordinate(m_control.top, rect.top);
        info.dest.right = OffsetCoordinate(m_control.left, rect.right);
        info.dest.bottom = OffsetCoordinate(m_control.top, rect.bottom);
        if (info.dest.right > m_control.right)
            info.dest.right = m_control.right;
        if (info.dest.bottom > m_control.bottom)
            info.dest.bottom = m_control.bottom;
    } else if (std::strcmp(key, "source") == 0) {
        info.source = HoldQuarter(ReadRect(value));
    } else if (std::strcmp(key, "corner") == 0) {
        info.corner = HoldQuarter(ReadRect(value));
    } else if (std::strcmp(key, "mask") == 0) {
        info.mask = ReadHexColor(value);
    } else if (std::strcmp(key, "fade") == 0) {
        const char* end = value;
        int fade = ReadDecimal(value, &end);
        // Out-of-range opacities are held at the nearest limit rather than
        // wrapped into the byte.
        info.fade = static_cast<unsigned char>(fade < 0 ? 0 : fade > 255 ? 255 : fade);
    } else if (std::strcmp(key, "hole") == 0) {
        info.hole = IsTrue(value);
    } else if (std::strcmp(key, "xtiled") == 0) {
        info.xTiled = IsTrue(value);
    } else if (std::strcmp(key, "ytiled") == 0) {
        info.yTiled = IsTrue(value);
    }
}

} // namespace ui
