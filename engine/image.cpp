#include "engine/image.h"

#include <cstdlib>

MemoryDcCache memoryDcCache;
DibSectionMaker dibSectionMaker = CreateDIBSection;

CImage::~CImage() {
    FreeBitmap();
}

bool CImage::CreateRgb24(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // positive: bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP created = dibSectionMaker(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!created || !memory) {
        if (created) DeleteObject(created);
        return false;
    }
    bitmap = created;
    DIBSECTION section = {};
    GetObjectW(bitmap, sizeof(section), &section);
    imageWidth = section.dsBm.bmWidth;
    imageHeight = std::abs(section.dsBmih.biHeight);
    int stride = Rgb24Stride(imageWidth);
    bits = static_cast<BYTE*>(memory) + (imageHeight - 1) * stride;
    pitch = -stride;
    return true;
}

HDC CImage::BorrowDc() {
    dcUseCount += 1;
    if (!memoryDc) {
        memoryDc = memoryDcCache.TakeDc();
        savedBitmap = SelectObject(memoryDc, bitmap);
    }
    return memoryDc;
}

void CImage::ReturnDc() {
    dcUseCount -= 1;
    if (dcUseCount == 0 && memoryDc) {
        SelectObject(memoryDc, savedBitmap);
        memoryDcCache.PutDc(memoryDc);
        memoryDc = nullptr;
    }
}

bool CImage::PresentRect(HDC target, int x, int y, int w, int h) {
    if (!target) return false;
    HDC source = BorrowDc();
    BOOL copied = StretchBlt(target, x, y, w, h, source, x, y, w, h, SRCCOPY);
    ReturnDc();
    return copied != FALSE;
}

void CImage::FreeBitmap() {
    if (!bitmap) return;
    HBITMAP old = bitmap;
    bitmap = nullptr;
    bits = nullptr;
    imageWidth = imageHeight = pitch = 0;
    DeleteObject(old);
}

MemoryDcCache::~MemoryDcCache() {
    Empty();
}

void MemoryDcCache::Empty() {
    for (auto& slot : slots_) {
        void* dc = InterlockedExchangePointer(&slot, nullptr);
        if (dc) DeleteDC(static_cast<HDC>(dc));
    }
}

HDC MemoryDcCache::TakeDc() {
    for (auto& slot : slots_) {
        void* dc = InterlockedExchangePointer(&slot, nullptr);
        if (dc) return static_cast<HDC>(dc);
    }
    return CreateCompatibleDC(nullptr);
}

void MemoryDcCache::PutDc(HDC dc) {
    void* carried = dc;
    for (auto& slot : slots_) {
        carried = InterlockedExchangePointer(&slot, carried);
        if (!carried) return;
    }
    DeleteDC(static_cast<HDC>(carried));
}

int MemoryDcCache::HeldCount() const {
    int held = 0;
    for (auto* slot : slots_)
        if (slot) ++held;
    return held;
}
