// Image attribute strings as a control's paint hands them over: the
// control's rectangle, the image string and an optional modifier, parsed
// with the defaults first and the destination offset by the control's
// position. Every image drawn, pending or last, has a destination whose
// width and height the blit can take by subtraction.
//
// Input: 16 bytes of control rectangle (four little-endian 32-bit numbers,
// each shifted down to the ±2^24 that layouts produce), then the image
// string, then after a zero byte the modifier.

#include <cstdint>
#include <cstring>
#include <string>

#include "ui/gfx/ImageAttributeParser.h"

using ui::CImageAttributeParser;
using ui::UIImageDrawInfo;
using ui::UIImageRect;

namespace {

volatile unsigned g_sink;

int Coordinate(const uint8_t* bytes)
{
    uint32_t raw = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8
        | static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return static_cast<int32_t>(raw) >> 7;
}

// The blit's width and height, in int as it takes them.
void Draw(const UIImageDrawInfo& info, void*)
{
    int width = info.dest.right - info.dest.left;
    int height = info.dest.bottom - info.dest.top;
    g_sink = g_sink + static_cast<unsigned>(width) + static_cast<unsigned>(height) + info.name.GetLength()
        + info.resourceType.GetLength() + info.mask + info.fade + info.hole + info.xTiled + info.yTiled
        + static_cast<unsigned>(info.source.left) + static_cast<unsigned>(info.corner.left);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 16)
        return 0;
    UIImageRect control = { Coordinate(data), Coordinate(data + 4), Coordinate(data + 8), Coordinate(data + 12) };
    std::string rest(reinterpret_cast<const char*>(data + 16), size - 16);
    const char* image = rest.c_str();
    size_t imageLength = std::strlen(image);
    const char* modify = imageLength < rest.size() ? image + imageLength + 1 : nullptr;

    UIImageDrawInfo info;
    info.Reset(image, control);
    CImageAttributeParser parser(control, &Draw, nullptr);
    parser.Parse(image, info);
    if (modify != nullptr) {
        parser.ResetPending();
        parser.Parse(modify, info);
    }
    Draw(info, nullptr);
    return 0;
}
