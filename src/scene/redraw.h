// Redraw requests: handlers ask for a frame, the message loop's idle hook draws it.
#pragma once

// Asks for a frame by installing idleFrame as the idle hook, unless a hook is already installed.
void requestRedraw();

// The idle hook: draws one frame, and removes itself first unless the model is animating.
void idleFrame();
