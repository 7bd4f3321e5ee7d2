// Preloaded into the real program by the tests (LD_PRELOAD): fixes the clock,
// records every flip, pause and poll, skips pauses, injects events and dumps
// the final picture; its first line names the SDL the program runs on. Each
// setting is an environment variable (an empty one is unset):
//   NORVALE_SEED=N        time() returns N
//   NORVALE_RAND=N        rand() returns N every time, for walks no seed gives
//   NORVALE_RECORD=path   one line per flip, pause, poll and delivered event
//   NORVALE_SKIP_PAUSES=1 the walk's pauses are recorded but not slept; the
//                         quit wait's rests (recorded as "rest") always are
//   NORVALE_DUMP=path     the window's pixels at the first poll, raw 32-bit rows
//   NORVALE_DUMP_STEPS=dir  the same, at each flip that shows the walk's
//                         marker, into dir/N.bgra for flip N
//   NORVALE_EVENTS=list   events pushed at the first poll: key, mouse, motion, quit
//   NORVALE_QUIT_AT_FLIP=N,M,...  a quit request is pushed at these flips (a close)
//   NORVALE_SIGNAL_AT_FLIP=N:S,...  signal S is raised at flip N, for each pair
//   NORVALE_HOLD_AT_FLIP=N:path  flip N waits until the file path exists (at
//                         most two minutes), so input can be made at that moment
//   NORVALE_GIVE_UP_AFTER_POLLS=N  the program is ended (status 3) at poll N,
//                         for a test that it would wait on forever
// It records the window asked for, with the scaling sdl12-compat is told to
// show it at (SDL12COMPAT_WINDOW_SCALING). At the first poll it records what
// standard output is: a file, a pipe, a socket, a device (by its path), or
// closed.
// Each flip's line also tells how many bytes of standard output a reader could
// see by then, where standard output is a file or a pipe.
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "surface.h"

static const char* Setting(const char* name)
{
    const char* v = getenv(name);
    return v && *v ? v : nullptr;
}

// The seam's files stay off descriptors 0 to 2: the program is also started
// with those closed, and must cope with that itself.
static FILE* Open(const char* path, const char* mode)
{
    FILE* f = path ? fopen(path, mode) : nullptr;
    if (!f || fileno(f) > 2)
        return f;
    FILE* moved = fdopen(fcntl(fileno(f), F_DUPFD_CLOEXEC, 3), mode);
    fclose(f);
    return moved;
}

// Only a program with SDL records: others (env, timeout, valgrind's
// launcher) may load the seam too.
static FILE* record_file()
{
    static FILE* f = dlsym(RTLD_DEFAULT, "SDL_Linked_Version") ? Open(Setting("NORVALE_RECORD"), "w") : nullptr;
    return f;
}

static void Record(const char* format, ...) __attribute__((format(printf, 1, 2)));
static void Record(const char* format, ...)
{
    FILE* f = record_file();
    if (!f)
        return;
    va_list args;
    va_start(args, format);
    vfprintf(f, format, args);
    va_end(args);
    fputc('\n', f);
    fflush(f);
}

template <typename F>
static F Real(const char* name)
{
    return (F)dlsym(RTLD_NEXT, name);
}

static long Env_number(const char* name, long otherwise)
{
    const char* v = Setting(name);
    return v ? strtol(v, nullptr, 10) : otherwise;
}

extern "C" time_t time(time_t* t)
{
    static auto real = Real<time_t (*)(time_t*)>("time");
    time_t now = Setting("NORVALE_SEED") ? (time_t)Env_number("NORVALE_SEED", 0) : real(nullptr);
    if (t)
        *t = now;
    Record("time %ld", (long)now);
    return now;
}

extern "C" int rand()
{
    static auto real = Real<int (*)()>("rand");
    static const long fixed = Env_number("NORVALE_RAND", -1);
    return fixed >= 0 ? (int)fixed : real();
}

// The library's own threads (timer, audio) pause too; only the program's count.
static const pthread_t program_thread = pthread_self();
static bool quit_wait = false;  // from the first poll on

extern "C" void SDL_Delay(Uint32 ms)
{
    static auto real = Real<void (*)(Uint32)>("SDL_Delay");
    if (!pthread_equal(pthread_self(), program_thread))
        return real(ms);
    Record(quit_wait ? "rest %u" : "delay %u", ms);
    if (quit_wait || !Setting("NORVALE_SKIP_PAUSES"))
        real(ms);
}

static void Push(Uint8 type)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP)
        e.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&e);
}

static void Dump(SDL_Surface* s, const char* path)
{
    FILE* f = Open(path, "wb");
    if (!s || !f)
        return;
    for (int y = 0; y < s->h; ++y)
        fwrite((const uint8_t*)s->pixels + y * s->pitch, 4, s->w, f);
    fclose(f);
}

static long flips = 0;

static std::string Standard_output()
{
    struct stat st;
    if (fstat(1, &st) != 0)
        return "closed";
    if (S_ISREG(st.st_mode))
        return "file";
    if (S_ISFIFO(st.st_mode))
        return "pipe";
    if (S_ISSOCK(st.st_mode))
        return "socket";
    char path[4096] = "";
    ssize_t n = readlink("/proc/self/fd/1", path, sizeof path - 1);
    return n > 0 ? std::string(path, (size_t)n) : "other";
}

// Bytes written to standard output so far that a reader could see, or -1.
static long Visible_output()
{
    struct stat st;
    if (fstat(1, &st) != 0)
        return -1;
    if (S_ISREG(st.st_mode))
        return (long)st.st_size;
    int queued = 0;
    return S_ISFIFO(st.st_mode) && ioctl(1, FIONREAD, &queued) == 0 ? queued : -1;
}

extern "C" int SDL_Flip(SDL_Surface* screen)
{
    static auto real = Real<int (*)(SDL_Surface*)>("SDL_Flip");
    ++flips;
    // Red pixels inside the Mandelbrot pane, away from the region frame.
    int count = 0, x0 = 9999, y0 = 9999, x1 = -1, y1 = -1;
    for (int y = 1; y < 600; ++y) {
        int in_row = 0;
        for (int x = 1; x < 720; ++x)
            in_row += Pixel(screen, x, y) == 0xFF0000;
        for (int x = 1; in_row && x < 720; ++x)
            if (Pixel(screen, x, y) == 0xFF0000) {
                ++count;
                x0 = x < x0 ? x : x0, y0 = y < y0 ? y : y0;
                x1 = x > x1 ? x : x1, y1 = y > y1 ? y : y1;
            }
    }
    Record("flip %ld red %d %d %d %d %d julia %016llx out %ld", flips, count, x0, y0, x1, y1,
           (unsigned long long)Area_hash(screen, 722, 0, 600, 600), Visible_output());
    std::string quits = std::string(",") + (Setting("NORVALE_QUIT_AT_FLIP") ? Setting("NORVALE_QUIT_AT_FLIP") : "") + ",";
    if (quits.find("," + std::to_string(flips) + ",") != std::string::npos)
        Push(SDL_QUIT);
    if (count > 0 && Setting("NORVALE_DUMP_STEPS"))
        Dump(screen, (std::string(Setting("NORVALE_DUMP_STEPS")) + "/" + std::to_string(flips) + ".bgra").c_str());
    long signal_flip = -1, signal_number = 0;
    for (const char* s = Setting("NORVALE_SIGNAL_AT_FLIP"); s && sscanf(s, "%ld:%ld", &signal_flip, &signal_number) == 2;
         s = strchr(s, ',') ? strchr(s, ',') + 1 : nullptr)
        if (flips == signal_flip)
            raise((int)signal_number);
    long hold_flip = -1;
    char hold_path[4096] = "";
    if (Setting("NORVALE_HOLD_AT_FLIP"))
        sscanf(Setting("NORVALE_HOLD_AT_FLIP"), "%ld:%4095s", &hold_flip, hold_path);
    if (flips == hold_flip) {
        Record("held");
        for (int n = 0; n < 12000 && access(hold_path, F_OK) != 0; ++n)
            usleep(10000);
    }
    return real(screen);
}

extern "C" SDL_Surface* SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags)
{
    static auto real = Real<SDL_Surface* (*)(int, int, int, Uint32)>("SDL_SetVideoMode");
    const char* scaling = getenv("SDL12COMPAT_WINDOW_SCALING");
    Record("video mode %dx%d %d bits flags %u scaling %s", width, height, bpp, flags, scaling ? scaling : "none");
    return real(width, height, bpp, flags);
}

// Setting a filter empties the queue, with polls of the library's own.
static bool library_polls = false;

extern "C" void SDL_SetEventFilter(SDL_EventFilter filter)
{
    static auto real = Real<void (*)(SDL_EventFilter)>("SDL_SetEventFilter");
    Record("filter");
    library_polls = true;
    real(filter);
    library_polls = false;
}

extern "C" int SDL_PollEvent(SDL_Event* event)
{
    static auto real = Real<int (*)(SDL_Event*)>("SDL_PollEvent");
    if (library_polls)
        return real(event);
    if (!quit_wait) {
        quit_wait = true;
        Dump(SDL_GetVideoSurface(), Setting("NORVALE_DUMP"));
        std::string list = Setting("NORVALE_EVENTS") ? Setting("NORVALE_EVENTS") : "";
        for (size_t at = 0; at < list.size();) {
            size_t end = list.find(',', at);
            std::string name = list.substr(at, end == std::string::npos ? std::string::npos : end - at);
            if (name == "key")
                Push(SDL_KEYDOWN), Push(SDL_KEYUP);
            else if (name == "mouse")
                Push(SDL_MOUSEBUTTONDOWN), Push(SDL_MOUSEBUTTONUP);
            else if (name == "motion")
                Push(SDL_MOUSEMOTION);
            else if (name == "quit")
                Push(SDL_QUIT);
            at = end == std::string::npos ? list.size() : end + 1;
        }
        Record("stdout %s", Standard_output().c_str());
        Record("poll");
    }
    static long polls = 0, give_up = Env_number("NORVALE_GIVE_UP_AFTER_POLLS", -1);
    if (++polls == give_up) {
        Record("still waiting after %ld polls", polls);
        _exit(3);
    }
    int got = real(event);
    if (got && event)
        Record("event %d", event->type);
    return got;
}

// Which SDL 1.2 the program runs on: classic (1.2.15) or sdl12-compat (1.2.50 on).
__attribute__((constructor)) static void Record_library()
{
    if (!record_file())
        return;
    const SDL_version* v = SDL_Linked_Version();
    Record("sdl %d.%d.%d", v->major, v->minor, v->patch);
}

__attribute__((destructor)) static void Record_exit()
{
    if (!record_file())
        return;
    if (flips == 0)  // start-up failed: say why
        Record("error %s", SDL_GetError());
    Record("exit");
}
