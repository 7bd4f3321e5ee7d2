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
inline int Reference_Julia_count(int i, int j, double cr, double ci)
{
    double zr = -2.1 + i * (4.2 / 600), zi = 2.1 - j * (4.2 / 600);
    for (int k = 0; k < 500; ++k) {
        double t = zr * zr - zi * zi + cr;
        zi = 2 * zr * zi + ci;
        zr = t;
        if (zr * zr + zi * zi > 100.0)
            return k;
    }
    return 500;
}

inline int Reference_Mandelbrot_count(int x, int y)
{
    double cr = -2.0 + x * (3.0 / 720), ci = 1.25 - y * (2.5 / 600);
    double zr = 0.0, zi = 0.0;
    for (int k = 0; k < 2000; ++k) {
        double t = zr * zr - zi * zi + cr;
        zi = 2 * zr * zi + ci;
        zr = t;
        if (zr * zr + zi * zi > 4.0)
            return k;
    }
    return 2000;
}

inline uint32_t Reference_color(int k, int limit)
{
    return k == limit ? 0u : (uint32_t)Get_color(k);
}
