#include "engine/stamp.h"

#include <algorithm>
#include <cmath>

#include "engine/vorn_saver.h"
#include "settings/settings.h"

// Six ramps of 256 steps, one channel rising or falling in each. The colours
// repeat every 1535 counts, so the last ramp stops one step short of its end.
COLORREF RainbowColor(uint32_t count) {
    const int step = static_cast<int>(count % 1535u);
    const int ramp = step % 256; // how far along its ramp
    switch (step / 256) {
    case 0: return RGB(255, ramp, 0);
    case 1: return RGB(255 - ramp, 255, 0);
    case 2: return RGB(0, 255, ramp);
    case 3: return RGB(0, 255 - ramp, 255);
    case 4: return RGB(ramp, 0, 255);
    default: return RGB(255, 0, 255 - ramp);
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
    const float radius = static_cast<float>(spotSize) * 0.5f;
    const float dx = static_cast<float>(i + 1) - radius;
    const float dy = static_cast<float>(j + 1) - radius;
    const float sum = dx * dx + dy * dy;
    const float distance = static_cast<float>(std::sqrt(static_cast<double>(sum)));
    return distance <= radius;
}

bool SurfaceCanStamp(const KVornSaver& saver) {
    const CImage& image = saver.surface;
    return image.bits && saver.width >= saver.spotSize + 1 && saver.height >= saver.spotSize + 1 &&
           saver.width <= image.imageWidth && saver.height <= image.imageHeight;
}

namespace {

void AddWrapping(BYTE& byte, int add) {
    byte = static_cast<BYTE>((byte + add) & 0xFF);
}
void AddSaturating(BYTE& byte, int add) {
    byte = static_cast<BYTE>(std::min(255, byte + add));
}

} // namespace

void Stamp(KVornSaver& saver, int x, int y) {
    if (!SurfaceCanStamp(saver)) return;
    const int side = saver.spotSize;
    const int intensity = saver.intensity;
    const int left = ClipStampColumn(x, side, saver.width);
    const int top = ClipStampRow(y, side, saver.height);

    COLORREF color = Settings.Color;
    if (Settings.Rainbow) color = RainbowColor(saver.rainbowCounter++);
    const int incBlue = StampIncrement(GetBValue(color), intensity);
    const int incGreen = StampIncrement(GetGValue(color), intensity);
    const int incRed = StampIncrement(GetRValue(color), intensity);
    const int mode = Settings.Mode;
    const bool round = Settings.Round != 0;

    if (mode >= 0 && mode <= 2) {
        for (int j = 0; j < side; ++j) {
            BYTE* pixel = saver.surface.Pixel(left, top + j);
            for (int i = 0; i < side; ++i, pixel += 3) {
                if (round && !RoundMaskCovers(i, j, side)) continue;
                if (mode == 0) {
                    AddWrapping(pixel[0], incBlue);
                    AddWrapping(pixel[1], incGreen);
                    AddWrapping(pixel[2], incRed);
                } else if (mode == 1) {
                    AddSaturating(pixel[0], incBlue);
                    AddSaturating(pixel[1], incGreen);
                    AddSaturating(pixel[2], incRed);
                } else {
                    AddWrapping(pixel[2], 4 * intensity);
                }
            }
        }
    }
    saver.surface.PresentRect(saver.windowDc, left, top, side, side);
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
    GdiFlush(); // the pixel memory is read directly afterwards
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
