// OrmelNumberLED control library. Licensed under the MIT licence.
#pragma once

#include "ormelnumberled_export.h"

// The size of the cell row, in twips: the cells keep the 16 : 21 proportion of their
// bitmaps, so the height alone fixes the cell width and the row fixes the control's width.
struct ORMELNUMBERLED_EXPORT LedGeometry
{
    // The margin around the cell row, on every side.
    static constexpr int Margin = 30;
    // The frame's first corner, in from the control's edge.
    static constexpr int FrameInset = 15;

    int cellHeight = 0;
    int cellWidth = 0;
    int width = 0;

    // Computed as 16-bit signed integers; throws RuntimeError (Overflow) when the
    // height, the cell width or the width leaves that range.
    static LedGeometry forHeight(int heightTwips, int cells);
};
