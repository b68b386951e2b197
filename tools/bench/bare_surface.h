#pragma once
// The bench programs' bare surface: a 24-bit bitmap of the given size in a
// memory DC that stays selected, the least a saver's picture can cost.
#include <windows.h>

struct BareSurface {
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ saved = nullptr; // what the DC held before the bitmap

    void Create(int width, int height) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        saved = SelectObject(dc, bitmap);
    }
    void Destroy() {
        SelectObject(dc, saved);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};
