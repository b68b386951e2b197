#pragma once
// Default handling of the saver window's messages: when the saver closes.
#include <windows.h>

#include "platform/saver_contract.h"

// Mouse travel must exceed this many pixels before the saver closes.
constexpr DWORD wakeDistance = 4;

// |dx| + |dy| between the anchor and the cursor, in wrapping 32-bit arithmetic.
DWORD MouseTravel(POINT anchor, POINT cursor);

// Reads the cursor's screen position; tests put their own in its place.
using CursorReader = BOOL(WINAPI*)(POINT* at);
extern CursorReader cursorReader; // GetCursorPos

// Moves cursorAnchor to the cursor. A cursor that cannot be read leaves it, and
// the next mouse move that can read one anchors there instead of measuring.
void AnchorAtCursor();

// Whether a power broadcast other than the suspend query ends the saver.
bool PowerBroadcastCloses(WPARAM event, LPARAM data);
