#pragma once
// Where the engine's settings come from. It takes them into Settings only
// through this function, the stored ones as LoadSettings gives them, so a
// program can supply its own at link time (the render tool does).
void LoadEngineSettings();
