// Test support: a window-sized surface and plain reference escape counts.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "norvale.h"
#include "surface.h"

// Pixels no drawing of the program paints.
const uint32_t SENTINEL = 0x123456;

// A software surface laid out as the window: 1322 x 600, 0x00RRGGBB.
struct Surface {
    SDL_Surface* surface;
    Surface()
    {
        surface = SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_WEIGHT, SCREEN_HEIGHT, 32, 0xFF0000,
                                       0x00FF00, 0x0000FF, 0);
        SDL_FillRect(surface, nullptr, SENTINEL);
    }
    ~Surface() { SDL_FreeSurface(surface); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    uint32_t at(int x, int y) const { return Pixel(surface, x, y); }
};

// The escape counts, iterated the plainest way in doubles.
inline int Reference_count(double zr, double zi, double cr, double ci, int limit, double bound)
{
    for (int k = 0; k < limit; ++k) {
        double t = zr * zr - zi * zi + cr;
        zi = 2 * zr * zi + ci;
        zr = t;
        if (zr * zr + zi * zi > bound)
            return k;
    }
    return limit;
}

inline int Reference_Julia_count(int i, int j, double cr, double ci)
{
    return Reference_count(-2.1 + i * (4.2 / 600), 2.1 - j * (4.2 / 600), cr, ci, 500, 100.0);
}

inline int Reference_Mandelbrot_count(int x, int y)
{
    return Reference_count(0.0, 0.0, -2.0 + x * (3.0 / 720), 1.25 - y * (2.5 / 600), 2000, 4.0);
}

inline uint32_t Reference_color(int k, int limit)
{
    return k == limit ? 0u : (uint32_t)Get_color(k);
}
