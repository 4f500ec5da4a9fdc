#pragma once
// A picture of diagonal black stripes on white: about a third of its dots
// print, in runs, as a logo's do.
#include "logo/picture.h"

inline Picture striped(int w, int h)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x / 7 + y / 5) % 3 == 0)
                p.set(x, y, 0);
    return p;
}
