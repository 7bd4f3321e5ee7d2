// norvale: the Mandelbrot set beside the Julia set of a point walking to its boundary.
#include "norvale.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The desktop entry's id: a Wayland desktop finds the window's menu entry
// (its icon, its name) by the window's app_id.
static const char APP_ID[] = "org.example.norvale";

// Room the desktop takes around the window, in pixels: the window manager's
// frame and title bar, and the desktop's panels.
const int DESKTOP_MARGIN_WEIGHT = 32;
const int DESKTOP_MARGIN_HEIGHT = 100;

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

// Escape counts of n orbits, z -> z² + c from orbit p's own z and c: counts[p]
// is the iteration on which |z|² first exceeds bound, or limit if it never
// does. Each orbit first runs alone for FIRST_ALONE iterations, which is all
// most orbits of a light pane need. The rest are iterated LANES at once, in
// plain four-wide vectors that the compiler maps onto SIMD registers, with the
// scalar arithmetic operation for operation, so each count is the one a lone
// double loop gives. Every CHECK_EVERY iterations the lanes that are done hand
// in their counts and take the next orbits, so no lane idles while another is
// still iterating.
// An orbit that comes back exactly to a point it has been at repeats itself
// from there on and can never escape, so it is done at once with the limit:
// each lane keeps its point at doubling ages and compares it with its point at
// every check. An orbit inside its c's trap (below) is done with the limit too.
typedef double Vector __attribute__((vector_size(4 * sizeof(double))));
typedef long long Vector_flags __attribute__((vector_size(4 * sizeof(long long))));  // -1 where true
typedef unsigned long long Vector_counts __attribute__((vector_size(4 * sizeof(long long))));
const int GROUPS = 4;
const int LANES = 4 * GROUPS;
const int CHECK_EVERY = 20;
const int FIRST_ALONE = 10;

// One iteration, alike for a lone orbit (double) and for four lanes (Vector).
template <typename T>
static inline void Iterate(T& zr, T& zi, T& zr2, T& zi2, const T& cr, const T& ci)
{
    zi = 2 * zr * zi + ci;
    zr = zr2 - zi2 + cr;
    zr2 = zr * zr;
    zi2 = zi * zi;
}

// Disks about a and b that an orbit of c never leaves once inside one, far
// within any escape radius; the squared radius t2 is negative where none is known.
struct Trap {
    std::complex<double> c, a, b;
    double t2;
};

static Trap Trap_of(std::complex<double> c)
{
    // Where |c| ≤ 1/4: inside |z| ≤ 1/2, |z² + c| ≤ |z|² + |c| ≤ 1/2.
    if (std::norm(c) <= 0.0625)
        return {c, 0.0, 0.0, 0.25};
    // In the main cardioid the fixed point f = (1 - sqrt(1 - 4c)) / 2 attracts:
    // |z² + c - f| = |z - f| |z + f| ≤ (1 + 2|f|) / 2 · |z - f| while |z - f| ≤
    // r = (1 - 2|f|) / 2. Testing for a quarter of r leaves room for rounding.
    std::complex<double> f = (1.0 - std::sqrt(1.0 - 4.0 * c)) / 2.0;
    double r = (1.0 - 2.0 * std::abs(f)) / 2.0;
    if (r >= 1e-6)
        return {c, f, f, r * r / 16.0};
    // In the period-2 bulb the cycle a, b = (-1 ± sqrt(-3 - 4c)) / 2 attracts,
    // with multiplier λ = 4ab = 4(c + 1). Two steps from |z - a| = d ≤ r ≤ 1
    // end within d (d + 2|a|) (d (d + 2|a|) + 2|b|) ≤ d (|λ| + d (m + (1 + m)²))
    // of a, m being 2 max(|a|, |b|); this r makes that at most d (1 + |λ|) / 2.
    std::complex<double> s = std::sqrt(-3.0 - 4.0 * c), a = (-1.0 + s) / 2.0, b = (-1.0 - s) / 2.0;
    double m = 2.0 * std::max(std::abs(a), std::abs(b));
    r = (1.0 - 4.0 * std::abs(c + 1.0)) / (2.0 * (m + (1.0 + m) * (1.0 + m)));
    if (r >= 1e-6)
        return {c, a, b, r * r / 16.0};
    return {c, 0.0, 0.0, -1.0};
}

// Iterates a lone orbit at most n times: the iteration on which it escapes, or n.
static int Go_alone(double& zr, double& zi, double& zr2, double& zi2, double cr, double ci, int n,
                    double bound)
{
    int k = 0;
    for (; k < n; ++k) {
        Iterate(zr, zi, zr2, zi2, cr, ci);
        if (zr2 + zi2 > bound)
            break;
    }
    return k;
}

// Four orbits, one to a lane, as they are iterated.
struct Orbits {
    Vector zr, zi, cr, ci, zr2, zi2;
};

// What the checks keep of four lanes.
struct Watch {
    Vector seen_r, seen_i;          // a point each orbit has been at
    Vector_counts age, keep_at;     // iterations done; when to keep the next point
    Vector ar, ai, br, bi, t2;      // each orbit's trap
    Vector_flags idle;              // -1 where the lane has no orbit
};

static bool Any(const Vector_flags& f)
{
    return (f[0] | f[1]) | (f[2] | f[3]);
}

#if defined(__x86_64__)
__attribute__((target_clones("avx2", "default")))
#endif
static void Go_out(int n, const double* zr0, const double* zi0, const double* cr0, const double* ci0,
                   int limit, double bound, int* counts)
{
    Orbits lanes[GROUPS] = {}, before[GROUPS] = {};
    Watch watch[GROUPS] = {};
    int orbit[LANES], next = 0;
    Trap trap = {NAN, 0.0, 0.0, -1.0};  // of the last c, which the next orbit often shares
    for (int l = 0; l < LANES; ++l) {
        watch[l / 4].idle[l % 4] = -1;
        orbit[l] = -1;
    }
    for (;;) {
        bool busy = false;
        for (int g = 0; g < GROUPS; ++g) {
            Orbits& o = lanes[g];
            Watch& w = watch[g];
            // Past the bound an orbit only grows, to inf and then NaN, as
            // |z² + c| ≥ |z|² - |c| > |z| there: in the Julia pane |z| > 10
            // and |c| < 3; in the Mandelbrot pane |z| > 2 and |c| ≤ 2, since
            // with |c| > 2 the first iterate escapes. So a check sees every
            // escape of the block before.
            Vector_flags escaped = ~(o.zr2 + o.zi2 <= bound);
            Vector_flags cycled = (o.zr == w.seen_r) & (o.zi == w.seen_i);
            Vector ar = o.zr - w.ar, ai = o.zi - w.ai, br = o.zr - w.br, bi = o.zi - w.bi;
            Vector_flags trapped = (ar * ar + ai * ai <= w.t2) | (br * br + bi * bi <= w.t2);
            Vector_flags done = escaped | cycled | trapped | (w.age >= (unsigned)limit) | w.idle;
            Vector_flags keep = w.age >= w.keep_at;
            w.seen_r = keep ? o.zr : w.seen_r;
            w.seen_i = keep ? o.zi : w.seen_i;
            w.keep_at += w.keep_at & (Vector_counts)keep;
            busy = busy || Any(~done);
            if (!Any(done) || (next == n && !Any(done & ~w.idle)))
                continue;
            for (int m = 0; m < 4; ++m) {
                int l = 4 * g + m;
                if (!done[m])
                    continue;
                if (orbit[l] >= 0 && escaped[m]) {
                    // The iteration it escaped on, found again from the block's start.
                    const Orbits& b = before[g];
                    double zr = b.zr[m], zi = b.zi[m], zr2 = b.zr2[m], zi2 = b.zi2[m];
                    int k = Go_alone(zr, zi, zr2, zi2, b.cr[m], b.ci[m], CHECK_EVERY, bound);
                    counts[orbit[l]] = std::min((int)w.age[m] - CHECK_EVERY + k, limit);
                } else if (orbit[l] >= 0) {
                    counts[orbit[l]] = limit;
                }
                orbit[l] = -1;
                w.idle[m] = -1;
                while (next < n && orbit[l] < 0) {
                    // Most orbits of a light pane escape at once: they are
                    // cheaper to finish alone than to carry in a lane.
                    int p = next++;
                    double zr = zr0[p], zi = zi0[p], zr2 = zr * zr, zi2 = zi * zi;
                    int k = Go_alone(zr, zi, zr2, zi2, cr0[p], ci0[p], std::min(FIRST_ALONE, limit), bound);
                    if (k < FIRST_ALONE) {
                        counts[p] = k;
                        continue;
                    }
                    orbit[l] = p;
                    if (trap.c != std::complex<double>(cr0[p], ci0[p]))
                        trap = Trap_of({cr0[p], ci0[p]});
                    w.ar[m] = trap.a.real(), w.ai[m] = trap.a.imag(), w.t2[m] = trap.t2;
                    w.br[m] = trap.b.real(), w.bi[m] = trap.b.imag();
                    o.zr[m] = zr, o.zi[m] = zi, o.cr[m] = cr0[p], o.ci[m] = ci0[p];
                    o.zr2[m] = zr2, o.zi2[m] = zi2;
                    w.idle[m] = 0;
                    w.seen_r[m] = w.seen_i[m] = NAN;  // equal to nothing
                    w.age[m] = w.keep_at[m] = FIRST_ALONE;
                    busy = true;
                }
            }
        }
        if (!busy)
            return;
        // Iterated in a copy, which the compiler keeps in registers.
        Orbits now[GROUPS];
        for (int g = 0; g < GROUPS; ++g)
            before[g] = now[g] = lanes[g];
        for (int k = 0; k < CHECK_EVERY; ++k)
#pragma GCC unroll GROUPS
            for (int g = 0; g < GROUPS; ++g)
                Iterate(now[g].zr, now[g].zi, now[g].zr2, now[g].zi2, now[g].cr, now[g].ci);
        for (int g = 0; g < GROUPS; ++g) {
            lanes[g] = now[g];
            watch[g].age += CHECK_EVERY;
        }
    }
}

static int Escape_color(int k, int limit)
{
    return k == limit ? Grey(0) : Get_color(k);
}

// The escape counts of n pixels of column x of the Mandelbrot pane, from row y0 down.
static void Go_out_of_Mandelbrot_column(int x, int y0, int n, int* counts)
{
    double zero[SCREEN_HEIGHT] = {}, cr[SCREEN_HEIGHT], ci[SCREEN_HEIGHT];
    for (int p = 0; p < n; ++p) {
        cr[p] = MANDELBROT_Re(x);
        ci[p] = MANDELBROT_Im(y0 + p);
    }
    Go_out(n, zero, zero, cr, ci, MANDELBROT_NUM_ITERATIONS, 4.0, counts);
}

int Go_out_of_Mandelbrot_set(int x, int y)
{
    int k;
    Go_out_of_Mandelbrot_column(x, y, 1, &k);
    return k;
}

void Draw_Mandelbrot_point(SDL_Surface* screen, int x, int y)
{
    Fill(screen, x, y, 1, 1, Escape_color(Go_out_of_Mandelbrot_set(x, y), MANDELBROT_NUM_ITERATIONS));
}

// Each column's counts come first, then its pixels are painted top to bottom.
void Draw_Mandelbrot_set(SDL_Surface* screen)
{
    int counts[SCREEN_HEIGHT];
    for (int x = 0; x < MANDELBROT_WEIGHT; ++x) {
        Go_out_of_Mandelbrot_column(x, 0, SCREEN_HEIGHT, counts);
        for (int y = 0; y < SCREEN_HEIGHT; ++y)
            Fill(screen, x, y, 1, 1, Escape_color(counts[y], MANDELBROT_NUM_ITERATIONS));
    }
}

void Draw_Julia_set(SDL_Surface* screen, double cr, double ci)
{
    double zr[SCREEN_HEIGHT], zi[SCREEN_HEIGHT], crs[SCREEN_HEIGHT], cis[SCREEN_HEIGHT];
    int counts[SCREEN_HEIGHT];
    for (int j = 0; j < SCREEN_HEIGHT; ++j) {
        zi[j] = JULIA_IM_MAX - j * JULIA_IM_STEP;
        crs[j] = cr;
        cis[j] = ci;
    }
    for (int i = 0; i < JULIA_WEIGHT; ++i) {
        for (int j = 0; j < SCREEN_HEIGHT; ++j)
            zr[j] = i * JULIA_RE_STEP + JULIA_RE_MIN;
        Go_out(SCREEN_HEIGHT, zr, zi, crs, cis, JULIA_NUM_ITERATIONS, 10.0 * 10.0, counts);
        for (int j = 0; j < SCREEN_HEIGHT; ++j)
            Fill(screen, MANDELBROT_WEIGHT + BOUNDARY_WEIGHT + i, j, 1, 1,
                 Escape_color(counts[j], JULIA_NUM_ITERATIONS));
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

// How long the quit wait rests between polls that find nothing: idle, yet a
// close still ends the program at once to the eye.
const Uint32 QUIT_WAIT_REST_MS = 50;

// The walk's pauses are taken in slices this long (every pause is a multiple
// of it), with the display's traffic handled between them.
const Uint32 PAUSE_SLICE_MS = 20;

// Set by the filter when the window is shown again after being hidden.
static volatile sig_atomic_t exposed = 0;

// Nothing reads the library's queue (128 events) before the walk is over, and
// then only a close matters: letting nothing else in keeps a backlog of pointer
// and key events from crowding a close out. Setting a filter empties the queue,
// so it is set first, before the window exists.
static int Only_quit(const SDL_Event* event)
{
    if (event->type == SDL_VIDEOEXPOSE)
        exposed = 1;
    return event->type == SDL_QUIT;
}

// Desktops ping a window (EWMH _NET_WM_PING) and offer to kill it when no
// answer comes within about 5 s; the library answers while it handles the
// display's traffic. Pumping takes nothing out of the queue, and the filter
// lets only a close into it, which then waits there for the quit wait.
static void Show(SDL_Surface* screen)
{
    SDL_Flip(screen);
    SDL_PumpEvents();
}

static void Pause(Uint32 ms)
{
    for (Uint32 done = 0; done < ms; done += PAUSE_SLICE_MS) {
        SDL_Delay(std::min(PAUSE_SLICE_MS, ms - done));
        SDL_PumpEvents();
    }
}

static bool Is_set(const char* name)
{
    const char* value = getenv(name);
    return value && *value;
}

// The library makes SIGINT and SIGTERM a close, which waits for the end of
// the walk. A second one ends the program at once, by the signal's default
// action, as a user at a terminal, a logout or a shutdown expect.
const int CLOSING_SIGNALS[] = {SIGINT, SIGTERM};
static void (*library_handler[NSIG])(int);

static void Close_on_signal(int signal_number)
{
    library_handler[signal_number](signal_number);
    for (int s : CLOSING_SIGNALS)
        signal(s, SIG_DFL);
}

static void Take_over_closing_signals()
{
    for (int s : CLOSING_SIGNALS) {
        struct sigaction action;
        sigaction(s, nullptr, &action);
        // Left alone where the library has no handler, or was told to
        // ignore the signal.
        if ((action.sa_flags & SA_SIGINFO) || action.sa_handler == SIG_DFL || action.sa_handler == SIG_IGN)
            continue;
        library_handler[s] = action.sa_handler;
        action.sa_handler = Close_on_signal;
        sigaction(s, &action, nullptr);
    }
}

int main()
{
    // A closed standard stream would lend its number to the display
    // connection, and the trace would then be written into it.
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) == -1)
            open("/dev/null", O_RDWR);
    // The trace is read while the walk runs (a pipe, tee): a line per write,
    // and a reader that goes away does not end the walk.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    signal(SIGPIPE, SIG_IGN);
    // Unless told otherwise, the window goes to the display the session
    // offers: X11 (XWayland included), or Wayland where that is all there
    // is. Left to choose, both SDL 1.2s would try X11 even then, and with no
    // display at all classic SDL would draw on the terminal in text.
    if (!Is_set("SDL_VIDEODRIVER"))
        setenv("SDL_VIDEODRIVER", !Is_set("DISPLAY") && Is_set("WAYLAND_DISPLAY") ? "wayland" : "x11", 1);
    if (strcmp(getenv("SDL_VIDEODRIVER"), "wayland") == 0)
        setenv("SDL_VIDEO_WAYLAND_WMCLASS", APP_ID, 0);
    // Both SDL 1.2s hold off the screen saver and screen lock for as long as
    // the program lives (classic resets the X server's saver every 5 s,
    // sdl12-compat asks the desktop for a hold it never gives back), and the
    // finished picture may rest for hours: the desktop decides, as for any
    // other window.
    setenv("SDL_VIDEO_ALLOW_SCREENSAVER", "1", 0);
    if (SDL_Init(SDL_INIT_EVERYTHING) == -1)
        return 1;
    SDL_SetEventFilter(Only_quit);
    // A desktop too small for the window and its frame (a laptop scaled to
    // 150 % or 200 % offers 1280 pixels across) would cut the picture off:
    // sdl12-compat (numbered from 1.2.50 on) can show the window smaller,
    // scaled; classic SDL cannot. The dummy driver has no screen: the size
    // it gives is made up, and scaling there would only cost time.
    const SDL_VideoInfo* desktop = SDL_GetVideoInfo();
    double fit = std::min((double)(desktop->current_w - DESKTOP_MARGIN_WEIGHT) / SCREEN_WEIGHT,
                          (double)(desktop->current_h - DESKTOP_MARGIN_HEIGHT) / SCREEN_HEIGHT);
    char driver[16] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    if (SDL_Linked_Version()->patch >= 50 && strcmp(driver, "dummy") != 0 && fit > 0.0 && fit < 1.0) {
        char scaling[16];
        snprintf(scaling, sizeof scaling, "%.3f", std::floor(fit * 1000.0) / 1000.0);
        setenv("SDL12COMPAT_WINDOW_SCALING", scaling, 0);
    }
    SDL_Surface* screen = SDL_SetVideoMode(SCREEN_WEIGHT, SCREEN_HEIGHT, 32, SDL_SWSURFACE);
    if (!screen)
        return 1;
    Take_over_closing_signals();
    SDL_WM_SetCaption(CAPTION, nullptr);

    Draw_boundary_between_sets(screen);
    Draw_Mandelbrot_set(screen);
    Draw_Julia_set(screen, CENTER_RE, CENTER_IM);
    Show(screen);
    srand((unsigned)time(nullptr));

    if (angle == -1.0)
        angle = 125.0 + 110.0 * Get_random_number();
    int x = MANDELBROT_x(CENTER_RE), y = MANDELBROT_y(CENTER_IM);
    int left = MANDELBROT_x(MIN_RE), right = MANDELBROT_x(MAX_RE);
    int top = MANDELBROT_y(MAX_IM), bottom = MANDELBROT_y(MIN_IM);
    int red = RGB_to_color(255, 0, 0);
    Draw_boundary(screen, left, right, top, bottom, red);
    Show(screen);
    printf("X: %d -- %d   Y: %d -- %d\n", left, right, top, bottom);

    double theta = angle / 180 * 3.141592653589793;
    for (int steps = 0; left <= x && x <= right && top <= y && y <= bottom && steps < MAX_WALK_STEPS;) {
        ++steps;
        Draw_Julia_set(screen, MANDELBROT_Re(x), MANDELBROT_Im(y));
        Show(screen);
        Fill(screen, x - 1, y - 1, 3, 3, red);
        Show(screen);
        int k = Go_out_of_Mandelbrot_set(x, y);
        Pause((Uint32)Get_pause_time(k));
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                Draw_Mandelbrot_point(screen, x - 1 + i, y - 1 + j);
        Show(screen);
        int s = Truncate_step(Get_step(k));
        x += (int)(s * cos(theta) + Get_random_number());
        y -= (int)(s * sin(theta) + Get_random_number());
        printf("%d, %d\n", x, y);
    }

    // Nothing uses timers from here on, and classic SDL's timer thread wakes
    // every millisecond.
    SDL_QuitSubSystem(SDL_INIT_TIMER);
    SDL_Event event;
    for (;;) {
        if (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT)
                break;
            continue;
        }
        // SDL over SDL2 keeps no picture of a hidden window: show it again.
        if (exposed) {
            exposed = 0;
            SDL_Flip(screen);
        }
        SDL_Delay(QUIT_WAIT_REST_MS);
    }
    return 0;
}
