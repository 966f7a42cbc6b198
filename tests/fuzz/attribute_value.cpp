// Attribute values of skins through every reader: terminated texts, read
// as booleans, integers, lists of one to eight integers, colours with and
// without leading blanks, rectangles and sizes.

#include <cstdint>
#include <memory>
#include <string>

#include "ui/base/AttributeValue.h"

namespace {

volatile unsigned g_sink;

struct Rect
{
    int left, top, right, bottom;
};

struct Size
{
    int cx, cy;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    const char* value = text.c_str();
    g_sink = g_sink + ui::ReadBoolValue(value);
    g_sink = g_sink + static_cast<unsigned>(ui::ReadIntValue(value));
    for (int count = 1; count <= 8; ++count) {
        // Exactly `count` places, so that a write past them is caught.
        std::unique_ptr<int[]> values(new int[count]);
        int reached = ui::ReadIntListValue(value, values.get(), count);
        if (reached < 0 || reached > count)
            __builtin_trap();
        for (int i = 0; i < count; ++i)
            g_sink = g_sink + static_cast<unsigned>(values[i]);
    }
    g_sink = g_sink + ui::ReadColorValue(value, true) + ui::ReadColorValue(value, false);
    Rect rect = ui::ReadRectValue<Rect>(value);
    Size extent = ui::ReadSizeValue<Size>(value);
    g_sink = g_sink + static_cast<unsigned>(rect.left) + static_cast<unsigned>(rect.top)
        + static_cast<unsigned>(rect.right) + static_cast<unsigned>(rect.bottom) + static_cast<unsigned>(extent.cx)
        + static_cast<unsigned>(extent.cy);
    return 0;
}
