#include "WindowPicture.h"

#include <cstdint>
#include <vector>

#include "PngFile.h"

bool WriteWindowPicture(HWND window, const std::string& path)
{
    RECT area = {};
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool done = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        done = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != 0;
        SelectObject(memory, old);
        if (done) {
            const auto* pixels = static_cast<const uint8_t*>(bits);
            std::vector<uint8_t> rgb;
            rgb.reserve(static_cast<size_t>(width) * height * 3);
            for (size_t pixel = 0; pixel < static_cast<size_t>(width) * height; ++pixel)
                rgb.insert(rgb.end(), {pixels[pixel * 4 + 2], pixels[pixel * 4 + 1], pixels[pixel * 4]});
            done = WritePngFile(path, static_cast<uint32_t>(width), static_cast<uint32_t>(height), rgb);
        }
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return done;
}
