// norvale: the Mandelbrot set beside the Julia set of a point walking to its boundary.
#include "norvale.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

// ---- Named constants -------------------------------------------------------

extern const int MANDELBROT_WEIGHT = 720;
extern const int BOUNDARY_WEIGHT = 2;
extern const int JULIA_WEIGHT = 600;
extern const int SCREEN_HEIGHT = 600;
extern const int SCREEN_WEIGHT = MANDELBROT_WEIGHT + BOUNDARY_WEIGHT + JULIA_WEIGHT;

extern const int MANDELBROT_NUM_ITERATIONS = 2000;
extern const int JULIA_NUM_ITERATIONS = 500;

extern const double MANDELBROT_RE_MIN = -2.0;
extern const double MANDELBROT_RE_MAX = 1.0;
extern const double MANDELBROT_IM_MIN = -1.25;
extern const double MANDELBROT_IM_MAX = 1.25;
extern const double MANDELBROT_RE_STEP = (MANDELBROT_RE_MAX - MANDELBROT_RE_MIN) / MANDELBROT_WEIGHT;
extern const double MANDELBROT_IM_STEP = (MANDELBROT_IM_MAX - MANDELBROT_IM_MIN) / SCREEN_HEIGHT;

extern const double JULIA_RE_MIN = -2.1;
extern const double JULIA_RE_MAX = 2.1;
extern const double JULIA_IM_MIN = -2.1;
extern const double JULIA_IM_MAX = 2.1;

extern const double CENTER_RE = 0.96;
extern const double CENTER_IM = 0.0;
extern const double MIN_RE = -2.0;
extern const double MAX_RE = 1.0;
extern const double MIN_IM = -1.25;
extern const double MAX_IM = 1.25;

extern const int MAX_WALK_STEPS = 350;
// A step of escape count 0 is infinite and cannot become an int; a move this
// long leaves the region whatever the walk's direction.
extern const int MAX_STEP_LENGTH = SCREEN_WEIGHT + SCREEN_HEIGHT;

static const double JULIA_RE_STEP = (JULIA_RE_MAX - JULIA_RE_MIN) / JULIA_WEIGHT;
static const double JULIA_IM_STEP = (JULIA_IM_MAX - JULIA_IM_MIN) / SCREEN_HEIGHT;

static const char CAPTION[] =
    "Множества Жюлиа для точек, стремящихся к границе множества Мандельброта";

// ---- Colours, plane mapping and plain drawings ------------------------------

int RGB_to_color(int r, int g, int b)
{
    return ((r * 256) + g) * 256 + b;
}

int Grey(int v)
{
    return RGB_to_color(v, v, v);
}

double MANDELBROT_Re(int x)
{
    return x * MANDELBROT_RE_STEP + MANDELBROT_RE_MIN;
}

double MANDELBROT_Im(int y)
{
    return MANDELBROT_IM_MAX - y * MANDELBROT_IM_STEP;
}

int MANDELBROT_x(double re)
{
    return (int)((re - MANDELBROT_RE_MIN) / MANDELBROT_RE_STEP);
}

int MANDELBROT_y(double im)
{
    return (int)((MANDELBROT_IM_MAX - im) / MANDELBROT_IM_STEP);
}

static void Fill(SDL_Surface* screen, int x, int y, int w, int h, int color)
{
    SDL_Rect rect;
    rect.x = (Sint16)x;
    rect.y = (Sint16)y;
    rect.w = (Uint16)w;
    rect.h = (Uint16)h;
    SDL_FillRect(screen, &rect, (Uint32)color);
}

void Draw_boundary_between_sets(SDL_Surface* screen)
{
    Fill(screen, MANDELBROT_WEIGHT, 0, BOUNDARY_WEIGHT, SCREEN_HEIGHT, Grey(255));
}

void Draw_boundary(SDL_Surface* screen, int left, int right, int top, int bottom, int color)
{
    Fill(screen, left, top, 1, bottom - top + 1, color);
    Fill(screen, right, top, 1, bottom - top + 1, color);
    Fill(screen, left, top, right - left + 1, 1, color);
    Fill(screen, left, bottom, right - left + 1, 1, color);
}

// ---- Escape-time panes ------------------------------------------------------

int Get_color(int k)
{
    int a = (20 * k) % 1021;
    if (a <= 255)
        return RGB_to_color(a, a, 255);
    if (a <= 510)
        return RGB_to_color(255, 255, 510 - a);
    if (a <= 765)
        return RGB_to_color(765 - a, 765 - a, 0);
    return RGB_to_color(0, 0, a - 765);
}

int Go_out_of_Mandelbrot_set(int x, int y)
{
    double cr = MANDELBROT_Re(x), ci = MANDELBROT_Im(y);
    double zr = 0.0, zi = 0.0;
    for (int i = 0; i != MANDELBROT_NUM_ITERATIONS; ++i) {
        double t = zr;
        zr = zr * zr - zi * zi + cr;
        zi = 2 * t * zi + ci;
        if (zr * zr + zi * zi > 4.0)
            return i;
    }
    return MANDELBROT_NUM_ITERATIONS;
}

void Draw_Mandelbrot_point(SDL_Surface* screen, int x, int y)
{
    int k = Go_out_of_Mandelbrot_set(x, y);
    Fill(screen, x, y, 1, 1, k == MANDELBROT_NUM_ITERATIONS ? Grey(0) : Get_color(k));
}

void Draw_Mandelbrot_set(SDL_Surface* screen)
{
    for (int x = 0; x < MANDELBROT_WEIGHT; ++x)
        for (int y = 0; y < SCREEN_HEIGHT; ++y)
            Draw_Mandelbrot_point(screen, x, y);
}

void Draw_Julia_set(SDL_Surface* screen, double cr, double ci)
{
    for (int i = 0; i < JULIA_WEIGHT; ++i)
        for (int j = 0; j < SCREEN_HEIGHT; ++j) {
            double zr = i * JULIA_RE_STEP + JULIA_RE_MIN;
            double zi = JULIA_IM_MAX - j * JULIA_IM_STEP;
            int color = Grey(0);
            for (int k = 0; k != JULIA_NUM_ITERATIONS; ++k) {
                double t = zr;
                zr = zr * zr - zi * zi + cr;
                zi = 2 * t * zi + ci;
                if (zr * zr + zi * zi > 10.0 * 10.0) {
                    color = Get_color(k);
                    break;
                }
            }
            Fill(screen, MANDELBROT_WEIGHT + BOUNDARY_WEIGHT + i, j, 1, 1, color);
        }
}

// ---- The walk's rules -------------------------------------------------------

double angle = -1.0;

// A random number from 0 to 1 inclusive.
static double Get_random_number()
{
    return rand() / 2147483647.0;
}

double Get_step(int k)
{
    double step;
    if (k == MANDELBROT_NUM_ITERATIONS) {
        step = 2.0 + 12.0 * Get_random_number();
    } else {
        step = 24.0 / k;
        if (step < 2.0)
            step = 2.0;
    }
    printf("k = %d --> %f\n", k, step);
    return step;
}

int Get_pause_time(int k)
{
    int p = 80 * k;
    if (k == MANDELBROT_NUM_ITERATIONS)
        p = 20;
    if (p > 640)
        p = 640;
    return p;
}

int Truncate_step(double step)
{
    return step < MAX_STEP_LENGTH ? (int)step : MAX_STEP_LENGTH;
}

// ---- The program ------------------------------------------------------------

int main()
{
    // With no display SDL falls back to drawing on the terminal in text; this
    // program wants a window, so it asks for X11 unless told otherwise.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    if (SDL_Init(SDL_INIT_EVERYTHING) == -1)
        return 1;
    SDL_Surface* screen = SDL_SetVideoMode(SCREEN_WEIGHT, SCREEN_HEIGHT, 32, SDL_SWSURFACE);
    if (!screen)
        return 1;
    SDL_WM_SetCaption(CAPTION, nullptr);

    Draw_boundary_between_sets(screen);
    Draw_Mandelbrot_set(screen);
    Draw_Julia_set(screen, CENTER_RE, CENTER_IM);
    SDL_Flip(screen);
    srand((unsigned)time(nullptr));

    if (angle == -1.0)
        angle = 125.0 + 110.0 * Get_random_number();
    int x = MANDELBROT_x(CENTER_RE), y = MANDELBROT_y(CENTER_IM);
    int left = MANDELBROT_x(MIN_RE), right = MANDELBROT_x(MAX_RE);
    int top = MANDELBROT_y(MAX_IM), bottom = MANDELBROT_y(MIN_IM);
    int red = RGB_to_color(255, 0, 0);
    Draw_boundary(screen, left, right, top, bottom, red);
    SDL_Flip(screen);
    printf("X: %d -- %d   Y: %d -- %d\n", left, right, top, bottom);

    double theta = angle / 180 * 3.141592653589793;
    for (int steps = 0; left <= x && x <= right && top <= y && y <= bottom && steps < MAX_WALK_STEPS;) {
        ++steps;
        Draw_Julia_set(screen, MANDELBROT_Re(x), MANDELBROT_Im(y));
        SDL_Flip(screen);
        Fill(screen, x - 1, y - 1, 3, 3, red);
        SDL_Flip(screen);
        int k = Go_out_of_Mandelbrot_set(x, y);
        SDL_Delay((Uint32)Get_pause_time(k));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                Draw_Mandelbrot_point(screen, x - 1 + i, y - 1 + j);
        SDL_Flip(screen);
        int s = Truncate_step(Get_step(k));
        x += (int)(s * cos(theta) + Get_random_number());
        y -= (int)(s * sin(theta) + Get_random_number());
        printf("%d, %d\n", x, y);
    }

    SDL_Event event;
    for (;;)
        if (SDL_PollEvent(&event) && event.type == SDL_QUIT)
            break;
    return 0;
}
