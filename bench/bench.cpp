// Times the panes: the plain scalar loop beside the shipped path, the cost of
// the 1 x 1 fills alone, and a flip of the window where one opens. Run:
// build-test/<classic or sdl12-compat>/bench/norvale_bench, once for each
// SDL the suite was built for.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "norvale.h"
#include "support.h"

static void Fill_pixel(SDL_Surface* s, int x, int y, uint32_t color)
{
    SDL_Rect r = {(Sint16)x, (Sint16)y, 1, 1};
    SDL_FillRect(s, &r, color);
}

static void Plain_Julia(SDL_Surface* s, double cr, double ci)
{
    for (int i = 0; i < JULIA_WEIGHT; ++i)
        for (int j = 0; j < SCREEN_HEIGHT; ++j)
            Fill_pixel(s, 722 + i, j, Reference_color(Reference_Julia_count(i, j, cr, ci), 500));
}

static void Plain_Mandelbrot(SDL_Surface* s)
{
    for (int x = 0; x < MANDELBROT_WEIGHT; ++x)
        for (int y = 0; y < SCREEN_HEIGHT; ++y)
            Fill_pixel(s, x, y, Reference_color(Reference_Mandelbrot_count(x, y), 2000));
}

// The best of several runs, in milliseconds.
static double Time(const std::function<void()>& work, int runs)
{
    double best = 1e9;
    for (int n = 0; n < runs; ++n) {
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

int main()
{
    const SDL_version* v = SDL_Linked_Version();
    printf("SDL %d.%d.%d (%s)\n", v->major, v->minor, v->patch, v->patch >= 50 ? "sdl12-compat" : "classic");
    Surface screen;
    SDL_Surface* s = screen.surface;
    printf("%-28s %12s %12s %8s\n", "pane", "plain ms", "shipped ms", "ratio");
    auto row = [](const char* name, double plain, double shipped) {
        printf("%-28s %12.2f %12.2f %7.1fx\n", name, plain, shipped, plain / shipped);
    };
    const struct { const char* name; double cr, ci; } julias[] = {
        {"Julia c = 0.96", 0.96, 0.0},
        {"Julia c = -0.12 + 0.04i", -0.12, 0.04},
        {"Julia c = 0.25", 0.25, 0.0},
        {"Julia c = -0.75 + 0.01i", -0.75, 0.01},
    };
    for (auto& j : julias)
        row(j.name, Time([&] { Plain_Julia(s, j.cr, j.ci); }, 5), Time([&] { Draw_Julia_set(s, j.cr, j.ci); }, 20));
    row("Mandelbrot pane", Time([&] { Plain_Mandelbrot(s); }, 3), Time([&] { Draw_Mandelbrot_set(s); }, 10));
    double initial = Time([&] {
        Draw_boundary_between_sets(s);
        Draw_Mandelbrot_set(s);
        Draw_Julia_set(s, CENTER_RE, CENTER_IM);
    }, 5);
    printf("%-28s %12s %12.2f\n", "whole initial picture", "", initial);
    double fills = Time([&] {
        for (int i = 0; i < JULIA_WEIGHT; ++i)
            for (int j = 0; j < SCREEN_HEIGHT; ++j)
                Fill_pixel(s, 722 + i, j, (uint32_t)Get_color(i + j));
    }, 10);
    printf("%-28s %12s %12.2f\n", "360,000 fills alone", "", fills);

    // Showing a frame in the real window, where one opens (an X display).
    setenv("SDL_VIDEODRIVER", "x11", 0);
    SDL_Surface* window = SDL_Init(SDL_INIT_VIDEO) == 0 ? SDL_SetVideoMode(SCREEN_WEIGHT, SCREEN_HEIGHT, 32, SDL_SWSURFACE) : nullptr;
    if (window) {
        Draw_Julia_set(window, -0.12, 0.04);
        printf("%-28s %12s %12.2f\n", "flip of the window", "", Time([&] { SDL_Flip(window); }, 50));
    } else {
        printf("flip of the window: not timed, no window (%s)\n", SDL_GetError());
    }

    // A walk may stop anywhere in its region: time the pane of every 20th
    // pixel, then the slowest twenty again, more carefully.
    struct Pane {
        double ms;
        int x, y;
        bool operator<(const Pane& other) const { return ms > other.ms; }  // slowest first
    };
    std::vector<Pane> panes;
    auto time_pane = [&](Pane& p, int runs) {
        p.ms = Time([&] { Draw_Julia_set(s, MANDELBROT_Re(p.x), MANDELBROT_Im(p.y)); }, runs);
    };
    for (int x = 0; x <= 720; x += 20)
        for (int y = 0; y <= 600; y += 20) {
            panes.push_back({0.0, x, y});
            time_pane(panes.back(), 2);
        }
    std::sort(panes.begin(), panes.end());
    for (int n = 0; n < 20; ++n)
        time_pane(panes[n], 30);
    std::sort(panes.begin(), panes.end());
    printf("%zu panes of the walk region: median %.2f ms, worst %.2f ms at pixel (%d, %d)\n", panes.size(),
           panes[panes.size() / 2].ms, panes[0].ms, panes[0].x, panes[0].y);
    return 0;
}
