// Helpers shared by the tests and the preloaded seam: reading a 32-bit surface.
#pragma once

#include <SDL.h>
#include <cstdint>

inline uint32_t Pixel(const SDL_Surface* s, int x, int y)
{
    return ((const uint32_t*)((const uint8_t*)s->pixels + y * s->pitch))[x];
}

// A hash of the pixels of a rectangle: FNV-1a in four interleaved streams,
// which is quick enough to take at every flip.
inline uint64_t Area_hash(const SDL_Surface* s, int x0, int y0, int w, int h)
{
    const uint64_t prime = 1099511628211ull;
    uint64_t a = 1469598103934665603ull, b = 1, c = 2, d = 3;
    for (int y = y0; y < y0 + h; ++y) {
        int x = x0;
        for (; x + 4 <= x0 + w; x += 4) {
            a = (a ^ Pixel(s, x, y)) * prime;
            b = (b ^ Pixel(s, x + 1, y)) * prime;
            c = (c ^ Pixel(s, x + 2, y)) * prime;
            d = (d ^ Pixel(s, x + 3, y)) * prime;
        }
        for (; x < x0 + w; ++x)
            a = (a ^ Pixel(s, x, y)) * prime;
    }
    return a ^ b * 3 ^ c * 5 ^ d * 7;
}
