#pragma once
// How many GDI objects this process holds. Under Wine GetGuiResources always
// answers 0, but Wine accepts a handle given by its slot number alone, so
// every slot is asked for its object's type.
#include <windows.h>

inline int LiveGdiObjects() {
    int live = 0;
    for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++live;
    return live;
}
