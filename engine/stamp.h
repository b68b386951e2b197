#pragma once
// The stamp renderer: colour arithmetic on the surface and its presentation.
#include <windows.h>

#include <cstdint>

class KVornSaver;

// The rainbow colour of the count-th stamp.
COLORREF RainbowColor(uint32_t count);

// Colour added to one channel per stamp in the additive modes.
inline int StampIncrement(int channel, int intensity) {
    return channel * intensity / 64;
}

// Top-left corner actually used for a stamp requested at x (or y).
int ClipStampColumn(int x, int spotSize, int width);
int ClipStampRow(int y, int spotSize, int height);

// Whether pixel (i, j) of the spot's square (column i, row j) lies inside the
// round stamp.
bool RoundMaskCovers(int i, int j, int spotSize);

// A surface must exist and be larger than the spot on both axes.
bool SurfaceCanStamp(const KVornSaver& saver);

void Stamp(KVornSaver& saver, int x, int y);
void ClearSurface(KVornSaver& saver);

// Shows the picture again where the system asks for an erase: where a window
// that covered ours went away, which nothing else repaints on a desktop
// without composition. Black where there is no picture.
void RepaintUncovered(KVornSaver& saver, HDC dc);
