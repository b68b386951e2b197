#pragma once
// Functions that not every Windows has, or that live in libraries the saver
// loads only when it needs them, are looked up by name instead of imported.
#include <windows.h>

// The entry point `name` of `module` as a Proc, or null when either is missing.
template <typename Proc> Proc LookUp(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
