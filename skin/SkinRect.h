#pragma once

namespace vocamo {

// A rectangle by its edges, as the skin's layout rules are written: right and
// bottom lie just outside it.
struct SkinRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    // Moves the top left to (x, y), keeping the size.
    void MoveTo(int x, int y)
    {
        right += x - left;
        bottom += y - top;
        left = x;
        top = y;
    }
    friend bool operator==(const SkinRect &, const SkinRect &) = default;
};

} // namespace vocamo
