#pragma once

namespace r512 {

// Dialog layouts are given in dialog units: a quarter of the dialog font's average character
// width across, an eighth of its height down. This converts them to pixels as the platform's
// dialog manager does (each figure scaled and rounded separately).
struct DialogUnits {
    int baseWidth;   // the font's average character width, pixels
    int baseHeight;  // the font's character height, pixels

    int X(int units) const { return Scale(units, baseWidth, 4); }
    int Y(int units) const { return Scale(units, baseHeight, 8); }

    struct PixelRect {
        int x, y, width, height;
    };
    PixelRect Rect(int x, int y, int width, int height) const {
        return {X(x), Y(y), X(width), Y(height)};
    }

private:
    // units * base / divisor, rounded half away from zero.
    static int Scale(int units, int base, int divisor) {
        const long long product = static_cast<long long>(units) * base;
        const long long half = divisor / 2;
        return static_cast<int>(product >= 0 ? (product + half) / divisor
                                             : -((-product + half) / divisor));
    }
};

}  // namespace r512
