// The texts a person sees of the viewer: its window title and its usage notice. Defined once,
// here, for the program and for the tests and tools that find its windows by these texts.
#pragma once

inline constexpr char viewerWindowTitle[] = " soft by Tesmoral";
inline constexpr char usageNoticeCaption[] = "soft by Tesmoral - helicoid@example.com ";
inline constexpr char usageNoticeText[] = " mouse: touch the window image for movement----- ";
