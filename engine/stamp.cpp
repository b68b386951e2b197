#include "engine/stamp.h"

#include <algorithm>
#include <cmath>

#include "engine/vorn_saver.h"
#include "settings/settings.h"

uint32_t rainbowCounter = 0;

COLORREF RainbowColor(uint32_t n) {
    const int m = static_cast<int>(n % 1535u);
    const int t = m % 256;
    switch (m / 256) {
    case 0: return RGB(255, t, 0);
    case 1: return RGB(255 - t, 255, 0);
    case 2: return RGB(0, 255, t);
    case 3: return RGB(0, 255 - t, 255);
    case 4: return RGB(t, 0, 255);
    default: return RGB(255, 0, 255 - t);
    }
}

// The column test is strict and the row test is not: the square never
// reaches the rightmost column but does reach the bottom row. The position is
// compared without adding to it, so one near the integer limit cannot wrap.
int ClipStampColumn(int x, int spotSize, int width) {
    if (x < width - spotSize) return x < 0 ? 0 : x;
    return width - spotSize - 1;
}

int ClipStampRow(int y, int spotSize, int height) {
    if (y <= height - spotSize) return y < 0 ? 0 : y;
    return height - spotSize - 1;
}

bool RoundMaskCovers(int i, int j, int spotSize) {
    const float r = spotSize * 0.5f;
    const float dx = static_cast<float>(i + 1) - r;
    const float dy = static_cast<float>(j + 1) - r;
    const float sum = dx * dx + dy * dy;
    const float distance = static_cast<float>(std::sqrt(static_cast<double>(sum)));
    return distance <= r;
}

bool SurfaceCanStamp(const KVornSaver& saver) {
    const CImage& image = saver.surface;
    return image.bits && saver.width >= saver.spotSize + 1 &&
           saver.height >= saver.spotSize + 1 && saver.width <= image.imageWidth &&
           saver.height <= image.imageHeight;
}

namespace {

void AddWrapping(BYTE& byte, int add) { byte = static_cast<BYTE>((byte + add) & 0xFF); }
void AddSaturating(BYTE& byte, int add) { byte = static_cast<BYTE>(std::min(255, byte + add)); }

} // namespace

void Stamp(KVornSaver& saver, int x, int y) {
    if (!SurfaceCanStamp(saver)) return;
    const int s = saver.spotSize;
    const int k = saver.intensity;
    const int left = ClipStampColumn(x, s, saver.width);
    const int top = ClipStampRow(y, s, saver.height);

    COLORREF color = Settings.Color;
    if (Settings.Rainbow) color = RainbowColor(rainbowCounter++);
    const int incBlue = StampIncrement(GetBValue(color), k);
    const int incGreen = StampIncrement(GetGValue(color), k);
    const int incRed = StampIncrement(GetRValue(color), k);
    const int mode = Settings.Mode;
    const bool round = Settings.Round != 0;

    if (mode >= 0 && mode <= 2) {
        for (int j = 0; j < s; ++j) {
            BYTE* pixel = saver.surface.Pixel(left, top + j);
            for (int i = 0; i < s; ++i, pixel += 3) {
                if (round && !RoundMaskCovers(i, j, s)) continue;
                if (mode == 0) {
                    AddWrapping(pixel[0], incBlue);
                    AddWrapping(pixel[1], incGreen);
                    AddWrapping(pixel[2], incRed);
                } else if (mode == 1) {
                    AddSaturating(pixel[0], incBlue);
                    AddSaturating(pixel[1], incGreen);
                    AddSaturating(pixel[2], incRed);
                } else {
                    AddWrapping(pixel[2], 4 * k);
                }
            }
        }
    }
    saver.surface.PresentRect(saver.windowDc, left, top, s, s);
}

void ClearSurface(KVornSaver& saver) {
    CImage& image = saver.surface;
    if (!image.bitmap) { // no picture can be made: black, not the desktop
        FillRect(saver.windowDc, &saver.clientRect,
                 static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    HDC dc = image.BorrowDc();
    HBRUSH black = CreateSolidBrush(0);
    FillRect(dc, &saver.clientRect, black);
    DeleteObject(black);
    GdiFlush();  // the pixel memory is read directly afterwards
    image.ReturnDc();
    image.PresentRect(saver.windowDc, 0, 0, image.imageWidth, image.imageHeight);
}

void RepaintUncovered(KVornSaver& saver, HDC dc) {
    RECT area;
    if (GetClipBox(dc, &area) == NULLREGION) return;
    if (!saver.surface.bitmap) {
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    saver.surface.PresentRect(dc, area.left, area.top, area.right - area.left,
                              area.bottom - area.top);
}
