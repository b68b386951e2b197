// The engine on a window whose client size changes under it, as the
// full-screen window's does when the display changes.
#include <gtest/gtest.h>

#include "support/engine_fixture.h"
#include "tools/gdi_objects.h"

namespace {

int LitBytes(const CImage& image) {
    GdiFlush();
    int lit = 0;
    for (int y = 0; y < image.imageHeight; ++y)
        for (int x = 0; x < 3 * image.imageWidth; ++x)
            lit += image.Pixel(0, y)[x] != 0;
    return lit;
}

// A window of the engine's own: WM_CREATE starts it, and moving or minimising
// the window sends it WM_SIZE as Windows does.
TEST(EngineRestart, ANewClientSizeStartsThePictureAgainAtThatSize) {
    struct Row {
        const char* name;
        int width, height; // 0: minimised and restored
        bool restarts;
    };
    const Row rows[] = {
        {"larger", 500, 410, true},
        {"smaller", 200, 100, true},
        {"wider only", 400, 240, true},
        {"the same size", 320, 240, false},
        {"minimised and restored", 0, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetEngine();
        SettingsRecord record;
        record.Algorithm = 2; // Horizontal Sine keeps values measured once per run
        StoreSettings(record);
        HWND window = MakeHiddenWindow(SaverProc, L"VornRestartTest", 320, 240, CS_OWNDC);
        for (int frame = 0; frame < 5; ++frame)
            RunFrame();
        ASSERT_EQ(Saver.sine.sineSweepWidth, 320 - 4 * Saver.spotSize);
        const HBITMAP oldBitmap = Saver.surface.bitmap;
        const HGDIOBJ oldFont = GetCurrentObject(Saver.windowDc, OBJ_FONT);
        const int lit = LitBytes(Saver.surface);
        const int objects = LiveGdiObjects();
        const HDC oldMemoryDc = memoryDcCache.TakeDc(); // the surface's, as it was last returned
        memoryDcCache.PutDc(oldMemoryDc);
        ASSERT_GT(lit, 0);

        if (row.width) {
            SetWindowPos(window, nullptr, 0, 0, row.width, row.height,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            ShowWindow(window, SW_MINIMIZE);
            EXPECT_TRUE(IsIconic(window));
            ShowWindow(window, SW_RESTORE);
        }
        if (row.restarts) {
            EXPECT_EQ(Saver.surface.imageWidth, row.width);
            EXPECT_EQ(Saver.surface.imageHeight, row.height);
            EXPECT_EQ(Saver.spotSize, SpotSizeFor(row.height));
            EXPECT_EQ(LitBytes(Saver.surface), 0);
            EXPECT_EQ(Saver.pendingInit, Saver.switchKind);
            EXPECT_EQ(GetObjectType(oldBitmap), 0u);
            EXPECT_EQ(GetObjectType(oldFont), 0u);
            EXPECT_EQ(GetObjectType(oldMemoryDc), 0u);
            const HGDIOBJ font = GetCurrentObject(Saver.windowDc, OBJ_FONT);
            EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT)) << "a live overlay font";
            EXPECT_NE(font, GetStockObject(SYSTEM_FONT));
            RunFrame();
            EXPECT_EQ(Saver.pendingInit, 0);
            EXPECT_EQ(Saver.sine.sineSweepWidth, row.width - 4 * Saver.spotSize);
            EXPECT_EQ(LiveGdiObjects(), objects) << "GDI objects";
        } else {
            EXPECT_EQ(Saver.surface.bitmap, oldBitmap);
            EXPECT_EQ(LitBytes(Saver.surface), lit);
            EXPECT_EQ(Saver.pendingInit, 0);
        }
        DestroyWindow(window);
    }
    ResetEngine();
}

// What the tests start from: the surface deleted, not dropped, and every value
// the engine keeps between frames back to zero.
TEST(EngineRestart, ResetSaverFreesTheSurfaceAndForgetsTheRun) {
    SettingsRecord record;
    record.Algorithm = 4; // Polar Coordinates measures its scale on the first step
    record.Rainbow = 1;
    record.FPS = 1;
    HWND window = StartEngineOn(320, 240, record);
    for (int frame = 0; frame < 5; ++frame)
        RunFrame();
    const HBITMAP bitmap = Saver.surface.bitmap;
    ASSERT_TRUE(Saver.polar.polarReady && Saver.rainbowCounter > 0 && Saver.overlayText[0]);
    const int objects = LiveGdiObjects();

    ResetSaver();
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the surface's bitmap";
    EXPECT_EQ(LiveGdiObjects(), objects - 1);
    EXPECT_EQ(Saver.surface.bits, nullptr);
    EXPECT_EQ(Saver.frameCycle.framesThisSecond + Saver.frameCycle.earlyReinitDone, 0);
    EXPECT_EQ(Saver.rainbowCounter, 0u);
    EXPECT_FALSE(Saver.polar.polarReady);
    EXPECT_EQ(Saver.polar.polarScale, 0.0f);
    EXPECT_EQ(Saver.motionNames[0], L"");
    EXPECT_EQ(Saver.overlayText[0], L'\0');
    DestroyWindow(window);
    ResetEngine();
}

} // namespace
