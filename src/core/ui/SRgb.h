// The screens and dialogs write their colours as 0xRRGGBB, the way a painter reads them; the controls and
// fonts take colour words with red in the low byte (0x00BBGGRR). RgbWord is the one place that turns the
// first into the second, so a colour is written once as it looks and never swapped by hand. Colours that
// are the game core's or the controls' own (the light and dark text colours, the standard shade, the
// highlight colours) are colour words already and do not pass through it.
#pragma once
#include "os/Types.h"

constexpr u32 RgbWord(u32 rgb) { return (rgb & 0x00FF00u) | (rgb >> 16 & 0xFFu) | (rgb & 0xFFu) << 16; }
