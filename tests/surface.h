// Helpers shared by the tests and the preloaded seam: reading a 32-bit surface.
#pragma once

#include <SDL.h>
#include <cstdint>

inline uint32_t Pixel(const SDL_Surface* s, int x, int y)
{
    return ((const uint32_t*)((const uint8_t*)s->pixels + y * s->pitch))[x];
}

// FNV-1a over the pixels of a rectangle, row by row.
inline uint64_t Area_hash(const SDL_Surface* s, int x0, int y0, int w, int h)
{
    uint64_t hash = 1469598103934665603ull;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            hash ^= Pixel(s, x, y);
            hash *= 1099511628211ull;
        }
    return hash;
}
