#pragma once
// The off-screen 24-bit drawing surface and the process-wide cache of memory
// device contexts behind it.
#include <windows.h>

class CImage {
  public:
    virtual ~CImage();

    bool CreateRgb24(int width, int height);
    HDC BorrowDc();
    void ReturnDc();
    bool PresentRect(HDC target, int x, int y, int w, int h);
    void FreeBitmap();

    // Channel bytes (blue, green, red) of the pixel at column x, row y from the top.
    BYTE* Pixel(int x, int y) const { return bits + y * pitch + 3 * x; }

    HBITMAP bitmap = nullptr;
    BYTE* bits = nullptr; // top row of the picture
    int imageWidth = 0;
    int imageHeight = 0;
    int pitch = 0; // negative: the bitmap is stored bottom-up
    HDC memoryDc = nullptr;
    int dcUseCount = 0;
    HGDIOBJ savedBitmap = nullptr;
};

// Row stride in bytes of a 24-bit bitmap, padded to whole 32-bit words.
inline int Rgb24Stride(int width) {
    return ((24 * width + 31) / 32) * 4;
}

// Four slots, touched only by atomic exchange, so no two users ever hold the
// same device context. Contexts still held at process end are deleted.
class MemoryDcCache {
  public:
    static constexpr int kSlots = 4;
    ~MemoryDcCache();
    HDC TakeDc();
    void PutDc(HDC dc);
    int HeldCount() const;
    // Deletes every held context: they were made for the display as it was.
    void Empty();

  private:
    void* volatile slots_[kSlots] = {};
};

extern MemoryDcCache memoryDcCache;

// Makes the surface's bitmap section; tests put a failing one in its place.
using DibSectionMaker = HBITMAP(WINAPI*)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD);
extern DibSectionMaker dibSectionMaker; // CreateDIBSection
