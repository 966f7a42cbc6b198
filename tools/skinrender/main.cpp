// skinrender [--menu] <skin.xml | resource id> <out.png> [width height]
// Builds a skin in a real window, lets the window host lay it out and paint
// it, and writes what it drew as a PNG image. Resource ids name skins of
// type "xml" in this program's resources, which carry the program's skins
// and images. With --menu the skin is a menu's: its menu and items are
// made by the menu's own controls.

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "shell/MenuUI.h"
#include "tools/skinrender/PngWriter.h"
#include "tools/skinrender/SkinRenderer.h"

namespace {

bool ReadNumber(const char* text, long low, long high, long& value)
{
    char* end = nullptr;
    value = strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= low && value <= high;
}

int Usage()
{
    fprintf(stderr, "usage: skinrender [--menu] <skin.xml | resource id> <out.png> [width height]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool menu = argc > 1 && strcmp(argv[1], "--menu") == 0;
    if (menu) {
        --argc;
        ++argv;
    }
    if (argc != 3 && argc != 5)
        return Usage();
    long width = 0;
    long height = 0;
    if (argc == 5 && (!ReadNumber(argv[3], 1, 16384, width) || !ReadNumber(argv[4], 1, 16384, height)))
        return Usage();

    long id = 0;
    const char* skin = argv[1];
    if (ReadNumber(argv[1], 1, 65535, id))
        skin = MAKEINTRESOURCEA(id);

    CMenuBuilderCallback menuControls;
    SkinRenderer renderer;
    if (!renderer.Render(skin, static_cast<int>(width), static_cast<int>(height), menu ? &menuControls : nullptr)) {
        fprintf(stderr, "skinrender: %s: %s\n", argv[1], renderer.GetError().c_str());
        return 1;
    }
    if (!PngWriter::Write(argv[2], renderer.GetPixels().data(), renderer.GetWidth(), renderer.GetHeight(),
                          renderer.GetWidth())) {
        fprintf(stderr, "skinrender: %s could not be written\n", argv[2]);
        return 1;
    }
    printf("%s: %d x %d\n", argv[2], renderer.GetWidth(), renderer.GetHeight());
    return 0;
}
