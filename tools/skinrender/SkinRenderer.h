#pragma once

// Builds a skin into a real window with its own host, lets the host lay the
// tree out and paint it, and keeps what the host drew as 32-bit pixels.

#include <stdint.h>

#include <string>
#include <vector>

namespace ui {
class IDialogBuilderCallback;
}

class SkinRenderer
{
public:
    // `skin` is a resource id (MAKEINTRESOURCEA) of type "xml" in the
    // program's module, or the path of a skin file whose images and
    // includes are looked up beside it. A width or height of 0 takes the
    // skin's window size ("size"); without one, the size the root measures
    // with the work area available (as a menu is sized), or 640 x 480 when
    // that is empty. `callback` makes the controls the builder does not
    // know, such as a menu's. False with an error text when the skin cannot
    // be built or drawn.
    bool Render(const char* skin, int width, int height, ui::IDialogBuilderCallback* callback = nullptr);

    // 0x00RRGGBB, rows top-down.
    const std::vector<uint32_t>& GetPixels() const { return m_pixels; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // The notifications the host sent while rendering, in order.
    const std::vector<std::string>& GetNotifications() const { return m_notifications; }
    const std::string& GetError() const { return m_error; }

private:
    std::vector<uint32_t> m_pixels;
    int m_width = 0;
    int m_height = 0;
    std::vector<std::string> m_notifications;
    std::string m_error;
};
