// Texts with inline markup as the layout reads them: token by token from
// the start, text runs stepped character by character up to their stop,
// raw passages switched on and off, and the arguments of the tags read the
// way each tag reads them.

#include <cstdint>
#include <cstring>
#include <string>

#include "ui/base/AttributeValue.h"
#include "ui/base/Utf8.h"
#include "ui/gfx/MarkupTokenizer.h"

using ui::CUtf8;
using ui::CMarkupTokenizer;

namespace {

volatile unsigned g_sink;

void ReadArgument(const ui::MarkupToken& token)
{
    const char* argument = token.argument.GetData();
    const char* value = CMarkupTokenizer::SkipBlanks(argument);
    int number = 0;
    switch (token.letter) {
    case 'c':
        g_sink = g_sink + ui::ReadColorValue(value, true);
        break;
    case 'f': {
        ui::MarkupFontSpec font;
        CMarkupTokenizer::ReadFont(value, font);
        g_sink = g_sink + static_cast<unsigned>(font.index) + static_cast<unsigned>(font.size) + font.face.GetLength();
        break;
    }
    case 'i': {
        ui::MarkupImageSpec image;
        if (CMarkupTokenizer::ReadImage(argument, image)) {
            // The frame the layout cuts out of the image.
            if (image.count < 1 || image.index < 0 || image.index >= image.count)
                __builtin_trap();
            g_sink = g_sink + image.name.GetLength() + image.resourceType.GetLength();
        }
        break;
    }
    case 'p':
    case 'x':
    case 'y':
        CMarkupTokenizer::ReadNumber(value, number);
        g_sink = g_sink + static_cast<unsigned>(number);
        break;
    default:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Texts come from attribute values: terminated, no zero byte inside.
    std::string text(reinterpret_cast<const char*>(data), size);
    const char* p = text.c_str();
    const char* end = p + std::strlen(p);
    bool raw = false;
    while (*p != '\0') {
        ui::MarkupToken token;
        CMarkupTokenizer::Read(p, raw, token);
        if (token.next <= p || token.next > end)
            __builtin_trap();
        switch (token.kind) {
        case ui::MarkupText: {
            // A run: at least one character, then up to the next stop.
            const char* q = p;
            do
                q = CUtf8::Next(q);
            while (!CMarkupTokenizer::IsRunStop(q, raw));
            token.next = q;
            break;
        }
        case ui::MarkupRawEnd:
            raw = false;
            break;
        case ui::MarkupOpenTag:
            if (token.letter == 'r')
                raw = true;
            ReadArgument(token);
            break;
        default:
            break;
        }
        p = token.next;
    }
    return 0;
}
