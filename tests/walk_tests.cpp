// Whole runs of the real program, headless, with the clock fixed and the
// pauses recorded instead of slept.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <map>

#include "norvale.h"
#include "run.h"
#include "support.h"

namespace {

struct Flip {
    int red, x0, y0, x1, y1;
    uint64_t julia;
    long out;  // bytes of the trace a reader could see by then
};

std::vector<Flip> Flips(const Run_result& r)
{
    std::vector<Flip> flips;
    for (const std::string& line : r.record_of("flip")) {
        Flip f;
        unsigned long long hash;
        long n;
        sscanf(line.c_str(), "flip %ld red %d %d %d %d %d julia %llx out %ld", &n, &f.red, &f.x0, &f.y0,
               &f.x1, &f.y1, &hash, &f.out);
        f.julia = hash;
        flips.push_back(f);
    }
    return flips;
}

uint64_t Julia_hash(double cr, double ci)
{
    Surface s;
    Draw_Julia_set(s.surface, cr, ci);
    return Area_hash(s.surface, 722, 0, 600, 600);
}

bool Inside_region(int x, int y)
{
    return 0 <= x && x <= 720 && 0 <= y && y <= 600;
}

size_t Index_of(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) - lines.begin();
}

// The pause of each step: the sum of the slices it is taken in, all between
// the flip that shows the step's marker and the one that erases it. The slices
// are short, for the library answers the desktop between them.
std::vector<int> Pauses(const Run_result& r)
{
    std::vector<int> pauses;
    long flips = 0;
    auto marker_shown = [&] { return flips >= 4 && flips % 3 == 1; };
    for (const std::string& line : r.record) {
        if (line.rfind("flip ", 0) == 0 && (++flips, marker_shown())) {
            pauses.push_back(0);
        } else if (line.rfind("delay ", 0) == 0) {
            int ms = atoi(line.c_str() + 6);
            EXPECT_TRUE(marker_shown()) << "a pause after flip " << flips;
            EXPECT_LE(ms, 50) << "a slice of " << ms << " ms, after flip " << flips;
            if (!pauses.empty())
                pauses.back() += ms;
        }
    }
    return pauses;
}

// Checks a finished walk against its rules, replaying the random generator
// from the seed (or the seam's fixed value) to follow every draw.
void Check_walk(const Run_result& r, long seed, long rand_value = -1)
{
    auto Next_random = [rand_value] { return (rand_value >= 0 ? rand_value : rand()) / 2147483647.0; };
    ASSERT_FALSE(r.timed_out);
    EXPECT_EQ(r.status, 0);
    ASSERT_TRUE(r.well_formed) << r.out;
    EXPECT_EQ(r.region, "X: 0 -- 720   Y: 0 -- 600");
    ASSERT_FALSE(r.steps.empty());
    ASSERT_LE(r.steps.size(), 350u);

    srand((unsigned)seed);
    double angle = 125.0 + 110.0 * Next_random();
    double theta = angle / 180 * 3.141592653589793;
    std::vector<int> pauses = Pauses(r);
    ASSERT_EQ(pauses.size(), r.steps.size());
    int x = 710, y = 300;
    for (size_t n = 0; n < r.steps.size(); ++n) {
        SCOPED_TRACE("step " + std::to_string(n + 1) + " from " + std::to_string(x) + ", " +
                     std::to_string(y));
        ASSERT_TRUE(Inside_region(x, y));
        const Step& step = r.steps[n];
        int k = Go_out_of_Mandelbrot_set(x, y);
        ASSERT_EQ(step.k, k);
        EXPECT_EQ(pauses[n], Get_pause_time(k));
        double length = k == 2000 ? 2.0 + 12.0 * Next_random() : k == 0 ? INFINITY : std::max(2.0, 24.0 / k);
        char shown[64];
        snprintf(shown, sizeof shown, "%f", length);
        EXPECT_EQ(step.shown, shown);
        int s = k == 0 ? MAX_STEP_LENGTH : (int)length;
        int dx = (int)(s * cos(theta) + Next_random());
        int dy = (int)(s * sin(theta) + Next_random());
        EXPECT_EQ(step.x, x + dx);
        EXPECT_EQ(step.y, y - dy);
        x = step.x, y = step.y;
    }
    EXPECT_TRUE(!Inside_region(x, y) || r.steps.size() == 350u) << "ended early at " << x << ", " << y;
}

// Checks what was on screen at each flip: the initial picture, the frame,
// then per step the Julia pane, the marker and its erasure.
void Check_flips(const Run_result& r)
{
    std::vector<Flip> flips = Flips(r);
    ASSERT_EQ(flips.size(), 2 + 3 * r.steps.size());
    EXPECT_EQ(flips[0].julia, Julia_hash(CENTER_RE, CENTER_IM));
    EXPECT_EQ(flips[0].red, 0);
    EXPECT_EQ(flips[1].red, 0);
    int x = 710, y = 300;
    for (size_t n = 0; n < r.steps.size(); ++n) {
        SCOPED_TRACE("step " + std::to_string(n + 1));
        const Flip& marker = flips[3 + 3 * n];
        int x0 = std::max(1, x - 1), x1 = std::min(719, x + 1);
        int y0 = std::max(1, y - 1), y1 = std::min(599, y + 1);
        EXPECT_EQ(marker.red, (x1 - x0 + 1) * (y1 - y0 + 1));
        EXPECT_EQ(marker.x0, x0);
        EXPECT_EQ(marker.y0, y0);
        EXPECT_EQ(marker.x1, x1);
        EXPECT_EQ(marker.y1, y1);
        EXPECT_EQ(flips[4 + 3 * n].red, 0) << "marker not erased";
        x = r.steps[n].x, y = r.steps[n].y;
    }
    int last_x = r.steps.size() > 1 ? r.steps[r.steps.size() - 2].x : 710;
    int last_y = r.steps.size() > 1 ? r.steps[r.steps.size() - 2].y : 300;
    EXPECT_EQ(flips[2].julia, Julia_hash(MANDELBROT_Re(710), MANDELBROT_Im(300)));
    EXPECT_EQ(flips[flips.size() - 3].julia, Julia_hash(MANDELBROT_Re(last_x), MANDELBROT_Im(last_y)));

    // Only quit requests are let in, from before anything is drawn; the
    // window asked for is the picture's size, unscaled with no screen to fit;
    // nothing is polled until the walk is over; the clock is read once, after
    // the first flip.
    const std::vector<std::string>& rec = r.record;
    EXPECT_EQ(rec[1], "filter");
    EXPECT_EQ(rec[2], "video mode 1322x600 32 bits flags 0 scaling none");
    EXPECT_EQ(r.record_of("filter").size(), 1u);
    EXPECT_EQ(r.record_of("time").size(), 1u);
    size_t time_at = std::find_if(rec.begin(), rec.end(), [](auto& l) { return l.rfind("time", 0) == 0; }) -
                     rec.begin();
    EXPECT_EQ(time_at, 4u);
    EXPECT_EQ(Index_of(rec, "poll"), rec.size() - 3) << "polled before the walk ended";
}

const long SEEDS[] = {1, 2, 3, 5, 8, 13, 21, 34};

}  // namespace

TEST(Walk, FirstStepStartsAtTheStartPoint)
{
    Run_result r = Run_program({});
    // The program runs on the SDL whose headers it was built with.
    EXPECT_EQ(r.record[0], "sdl " + std::to_string(SDL_MAJOR_VERSION) + "." + std::to_string(SDL_MINOR_VERSION) +
                               "." + std::to_string(SDL_PATCHLEVEL));
    ASSERT_TRUE(r.well_formed) << r.out;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n', r.out.find('\n') + 1) + 1),
              "X: 0 -- 720   Y: 0 -- 600\nk = 2 --> 12.000000\n");
    ASSERT_FALSE(Pauses(r).empty());
    EXPECT_EQ(Pauses(r)[0], 160);
}

TEST(Walk, WalksFollowTheirRules)
{
    for (long seed : SEEDS) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Run_result r = Run_program({seed});
        Check_walk(r, seed);
        Check_flips(r);
    }
}

TEST(Walk, EndsAfterTheStepLimitStillInsideTheRegion)
{
    // With every random number 0.9 the walk heads down and left at 224° and
    // comes to rest beside the set, where a step of 2 pixels no longer moves it.
    Run_options o;
    o.rand_value = 1932735282;
    o.timeout_seconds = 120;
    Run_result r = Run_program(o);
    Check_walk(r, o.seed, o.rand_value);
    Check_flips(r);
    ASSERT_EQ(r.steps.size(), 350u);
    EXPECT_TRUE(Inside_region(r.steps.back().x, r.steps.back().y));
}

TEST(Walk, SameSeedSameWalk)
{
    Run_result a = Run_program({141}), b = Run_program({141});
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out, Run_program({140}).out);
}

TEST(Walk, FinalPictureIsTheLastStepWithoutMarker)
{
    Run_options o;
    o.seed = 88;
    o.dump = true;
    Run_result r = Run_program(o);
    ASSERT_TRUE(r.well_formed);
    ASSERT_EQ(r.dump.size(), 1322u * 600u);

    Surface expected;
    Draw_boundary_between_sets(expected.surface);
    Draw_Mandelbrot_set(expected.surface);
    Draw_boundary(expected.surface, 0, 720, 0, 600, 0xFF0000);
    int x = 710, y = 300;
    for (const Step& step : r.steps) {
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j)
                Draw_Mandelbrot_point(expected.surface, x + i, y + j);
        if (&step != &r.steps.back())
            x = step.x, y = step.y;
    }
    Draw_Julia_set(expected.surface, MANDELBROT_Re(x), MANDELBROT_Im(y));
    long differ = 0;
    for (int yy = 0; yy < 600; ++yy)
        for (int xx = 0; xx < 1322; ++xx)
            differ += r.dump[yy * 1322 + xx] != expected.at(xx, yy);
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(r.dump[300 * 1322 + 720], 0xFF0000u);
    EXPECT_EQ(r.dump[300 * 1322 + 721], 0xFFFFFFu);
}

TEST(QuitWait, KeysAndMouseDoNotEndTheProgram)
{
    Run_options o;
    o.events = "key,mouse,motion,quit";
    Run_result r = Run_program(o);
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> events = r.record_of("event");
    std::vector<std::string> expected = {"event 2", "event 3", "event 5", "event 6", "event 4", "event 12"};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(r.record.back(), "exit");
}

TEST(QuitWait, WithoutAQuitTheProgramKeepsWaitingAndRests)
{
    Run_options o;
    o.events = "key,mouse";
    o.give_up_after_polls = 40;
    Run_result r = Run_program(o);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.record_of("event").size(), 4u);
    EXPECT_EQ(r.record.back(), "still waiting after 40 polls");
    // Every poll that finds nothing is followed by a rest: idle, but short
    // enough that a close still ends the program at once to the eye.
    std::vector<std::string> rests = r.record_of("rest");
    EXPECT_EQ(rests.size(), 40u - 1 - 4);
    for (const std::string& rest : rests) {
        int ms = atoi(rest.c_str() + 5);
        EXPECT_TRUE(10 <= ms && ms <= 80) << rest;
    }
}

TEST(QuitWait, CloseDuringTheWalkEndsItOnlyAfterTheWalk)
{
    Run_options o;
    o.seed = 148;
    o.events = "";
    o.quit_at_flips = "4";
    Run_result r = Run_program(o);
    Check_walk(r, o.seed);
    EXPECT_EQ(r.record_of("event"), std::vector<std::string>{"event 12"});
    EXPECT_EQ(r.record.back(), "exit");
}

TEST(StartUp, NoWindowMeansStatusOneAndNoOutput)
{
    Run_options no_display;
    no_display.unset = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    Run_options no_driver;
    no_driver.environment = {"SDL_VIDEODRIVER=nonesuch"};
    Run_options unreachable;
    unreachable.unset = {"WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    unreachable.environment = {"DISPLAY=:97"};
    Run_options no_framebuffer;  // a console driver with no device to draw on
    no_framebuffer.environment = {"SDL_VIDEODRIVER=fbcon", "SDL_FBDEV=/nonexistent"};
    Run_options no_compositor;  // Wayland where that is all the session names
    no_compositor.unset = {"DISPLAY", "SDL_VIDEODRIVER"};
    no_compositor.environment = {"WAYLAND_DISPLAY=nonesuch"};
    for (const Run_options& o : {no_display, no_driver, unreachable, no_framebuffer, no_compositor}) {
        Run_result r = Run_program(o);
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.record_of("flip").empty());
        EXPECT_EQ(r.record_of("error").size(), 1u);
    }
}

// Many seeds, for the sanitizer build: every walk keeps its rules, and the
// seeds cover the ways a walk can end. NORVALE_TEST_SEEDS sets how many.
TEST(Walk, ManySeedsCoverEveryEnding)
{
    const char* wanted = getenv("NORVALE_TEST_SEEDS");
    long seeds = wanted ? atol(wanted) : 24;
    std::vector<Run_options> options(seeds);
    for (long seed = 1; seed <= seeds; ++seed)
        options[seed - 1].seed = seed;
    std::vector<Run_result> runs = Run_programs(options);
    long crescent = 0, full = 0, bottom = 0, left = 0, top = 0;
    size_t fewest = 350, most = 0, all = 0;
    for (long seed = 1; seed <= seeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Run_result& r = runs[seed - 1];
        Check_walk(r, seed);
        if (HasFatalFailure() || r.steps.empty())
            return;
        const Step& last = r.steps.back();
        crescent += last.k == 0;
        full += r.steps.size() == 350;
        bottom += last.y > 600;
        top += last.y < 0;
        left += last.x < 0;
        fewest = std::min(fewest, r.steps.size());
        most = std::max(most, r.steps.size());
        all += r.steps.size();
    }
    printf("%ld walks: %zu to %zu steps (%.1f on average); ended at k = 0: %ld, at 350 steps: %ld; "
           "left through the left side: %ld, the top: %ld, the bottom: %ld\n",
           seeds, fewest, most, (double)all / seeds, crescent, full, left, top, bottom);
    EXPECT_GT(crescent, 0);
    EXPECT_GT(bottom, 0);
}

// ---- Hostile conditions ------------------------------------------------------

// Their seeds walk 31 to 41 steps: what they disturb comes early in a walk.

namespace {

// The walk of a seed as it runs undisturbed.
const Run_result& Undisturbed(long seed)
{
    static std::map<long, Run_result> runs;
    if (!runs.count(seed))
        runs[seed] = Run_program({seed});
    return runs[seed];
}

// A walk disturbed by quit requests runs as if undisturbed and ends on one.
void Check_walk_ends_on_one_quit(const Run_result& r, long seed)
{
    Check_walk(r, seed);
    EXPECT_EQ(r.out, Undisturbed(seed).out);
    EXPECT_EQ(r.record_of("event"), std::vector<std::string>{"event 12"});
    EXPECT_EQ(r.record.back(), "exit");
}

}  // namespace

TEST(Faults, TerminateAndInterruptDuringTheWalkEndItAfterTheWalk)
{
    // At flip 1 the start-up picture is painted but not yet shown.
    for (const char* signal : {"1:15", "6:15", "6:2"}) {
        SCOPED_TRACE(std::string("signal at flip:number ") + signal);
        Run_options o;
        o.seed = 102;
        o.events = "";
        o.signal_at_flip = signal;
        Check_walk_ends_on_one_quit(Run_program(o), o.seed);
    }
}

TEST(Faults, SecondTerminateOrInterruptDuringTheWalkEndsTheProgramAtOnce)
{
    const struct { const char* signals; long last_flip; int ended_by; } cases[] = {
        {"6:2,9:2", 9, SIGINT}, {"6:15,9:2", 9, SIGINT}, {"6:2,12:15", 12, SIGTERM}};
    size_t steps = Undisturbed(102).steps.size();
    for (auto [signals, last_flip, ended_by] : cases) {
        SCOPED_TRACE(std::string("signals at flip:number ") + signals);
        Run_options o;
        o.seed = 102;
        o.events = "";
        o.signal_at_flip = signals;
        Run_result r = Run_program(o);
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.status, 128 + ended_by);
        // Ended in that flip: nothing after it, not even the seam's last word.
        std::vector<std::string> flips = r.record_of("flip");
        ASSERT_FALSE(flips.empty());
        EXPECT_EQ(flips.back().rfind("flip " + std::to_string(last_flip) + " ", 0), 0u) << flips.back();
        EXPECT_EQ(r.record.back(), flips.back());
        EXPECT_LT(r.steps.size(), steps);
    }
}

TEST(Faults, OneCloseIsEnoughAndNoneEndsTheWalkEarly)
{
    for (const char* flips : {"1", "2", "7", "1,5,9,12,40"}) {
        SCOPED_TRACE(std::string("closes at flips ") + flips);
        Run_options o;
        o.seed = 169;
        o.events = "";
        o.quit_at_flips = flips;
        Check_walk_ends_on_one_quit(Run_program(o), o.seed);
    }
}

TEST(Faults, TraceReachesAReaderAsTheWalkGoes)
{
    for (Run_options::Output output : {Run_options::FILE, Run_options::PIPE}) {
        SCOPED_TRACE(output == Run_options::FILE ? "file" : "pipe");
        Run_options o;
        o.seed = 74;
        o.output = output;
        Run_result r = Run_program(o);
        Check_walk(r, o.seed);
        std::vector<Flip> flips = Flips(r);
        ASSERT_EQ(flips.size(), 2 + 3 * r.steps.size());
        // By the flip that starts step n + 1, the lines of steps up to n are out.
        size_t written = r.out.find('\n') + 1;
        EXPECT_EQ(flips[1].out, 0);
        for (size_t n = 0; n + 1 < r.steps.size(); ++n) {
            written = r.out.find('\n', r.out.find('\n', written) + 1) + 1;
            EXPECT_EQ(flips[2 + 3 * (n + 1)].out, (long)written) << "step " << n + 1;
        }
    }
}

TEST(Faults, WalkRunsWhateverStandardOutputIs)
{
    // A closed standard output is given /dev/null, before the display
    // connection can take its number and the trace be written into it.
    const struct { Run_options::Output output; const char* name; const char* seen; } outputs[] = {
        {Run_options::CLOSED, "closed", "/dev/null"},
        {Run_options::FULL_DISK, "/dev/full", "/dev/full"},
        {Run_options::BROKEN_PIPE, "a pipe nobody reads", "pipe"},
    };
    size_t steps = Undisturbed(141).steps.size();
    for (auto [output, name, seen] : outputs) {
        SCOPED_TRACE(name);
        Run_options o;
        o.seed = 141;
        o.output = output;
        Run_result r = Run_program(o);
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.record_of("stdout"), std::vector<std::string>{std::string("stdout ") + seen});
        EXPECT_EQ(Pauses(r).size(), steps);
        EXPECT_EQ(r.record_of("flip").size(), 2 + 3 * steps);
        EXPECT_EQ(r.record.back(), "exit");
    }
}
