// The rendering vocabulary and the walk's rules, against a real SDL surface.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "norvale.h"
#include "support.h"
#include "surface.h"

TEST(Mapping, WalkStartAndRegionAreExact)
{
    EXPECT_EQ(SCREEN_WEIGHT, 1322);
    EXPECT_EQ(MANDELBROT_x(CENTER_RE), 710);
    EXPECT_EQ(MANDELBROT_y(CENTER_IM), 300);
    EXPECT_EQ(MANDELBROT_x(MIN_RE), 0);
    EXPECT_EQ(MANDELBROT_x(MAX_RE), 720);
    EXPECT_EQ(MANDELBROT_y(MAX_IM), 0);
    EXPECT_EQ(MANDELBROT_y(MIN_IM), 600);
    // Truncation, not rounding or floor.
    EXPECT_EQ(MANDELBROT_x(-2.0 + 0.9 / 240), 0);
    EXPECT_EQ(MANDELBROT_x(-2.0 - 0.9 / 240), 0);
    EXPECT_EQ(MANDELBROT_y(1.25 + 1.5 / 240), -1);
}

TEST(Mapping, PlaneOriginAndSquarePixels)
{
    EXPECT_NEAR(MANDELBROT_Re(480), 0.0, 1e-12);
    EXPECT_NEAR(MANDELBROT_Im(300), 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(MANDELBROT_RE_STEP, 1.0 / 240);
    EXPECT_DOUBLE_EQ(MANDELBROT_IM_STEP, 1.0 / 240);
    EXPECT_DOUBLE_EQ(MANDELBROT_Re(0), -2.0);
    EXPECT_DOUBLE_EQ(MANDELBROT_Im(0), 1.25);
    EXPECT_DOUBLE_EQ(MANDELBROT_Im(600), -1.25);
}

TEST(Colour, PackingAndPalette)
{
    EXPECT_EQ(RGB_to_color(255, 0, 0), 0xFF0000);
    EXPECT_EQ(RGB_to_color(0, 0, 256), 0x000100);
    EXPECT_EQ(Grey(0), 0);
    EXPECT_EQ(Grey(255), 0xFFFFFF);
    const std::pair<int, int> palette[] = {{0, 0x0000FF},  {1, 0x1414FF},  {12, 0xF0F0FF},
                                           {13, 0xFFFFFA}, {26, 0xF5F500}, {39, 0x00000F},
                                           {51, 0x0000FF}, {52, 0x1313FF}, {1999, 0xA1A1FF}};
    for (auto [k, color] : palette)
        EXPECT_EQ(Get_color(k), color) << "k = " << k;
}

TEST(Walk, PauseTable)
{
    const std::pair<int, int> pauses[] = {{0, 0},     {1, 80},     {2, 160},  {7, 560},
                                          {8, 640},   {1999, 640}, {2000, 20}};
    for (auto [k, ms] : pauses)
        EXPECT_EQ(Get_pause_time(k), ms) << "k = " << k;
}

TEST(Walk, StepTableAndItsTraceLine)
{
    const std::pair<int, const char*> steps[] = {
        {1, "24.000000"}, {2, "12.000000"}, {3, "8.000000"}, {4, "6.000000"}, {5, "4.800000"},
        {6, "4.000000"},  {7, "3.428571"},  {8, "3.000000"}, {11, "2.181818"}, {12, "2.000000"},
        {1999, "2.000000"}, {0, "inf"}};
    for (auto [k, shown] : steps) {
        testing::internal::CaptureStdout();
        double step = Get_step(k);
        std::string line = testing::internal::GetCapturedStdout();
        EXPECT_EQ(line, "k = " + std::to_string(k) + " --> " + shown + "\n");
        EXPECT_EQ(Truncate_step(step), k == 0 ? MAX_STEP_LENGTH : (int)step);
    }
    EXPECT_EQ(Truncate_step(4.8), 4);
    EXPECT_EQ(Truncate_step(12.0), 12);
}

TEST(Walk, StepInsideTheSetIsRandomFromTwoToFourteen)
{
    srand(7);
    for (int n = 0; n < 200; ++n) {
        testing::internal::CaptureStdout();
        double step = Get_step(MANDELBROT_NUM_ITERATIONS);
        testing::internal::GetCapturedStdout();
        EXPECT_GE(step, 2.0);
        EXPECT_LE(step, 14.0);
    }
}

TEST(Walk, InfiniteStepLeavesTheRegionInEveryDirection)
{
    // The move of the steepest directions, with the largest dither.
    for (double degrees : {125.0, 180.0, 235.0}) {
        double theta = degrees / 180 * 3.141592653589793;
        int dx = (int)(MAX_STEP_LENGTH * cos(theta) + 1.0);
        EXPECT_LT(MANDELBROT_x(MAX_RE) + dx, MANDELBROT_x(MIN_RE)) << degrees;
    }
}

#if defined(__x86_64__)
// The counts come from one of two builds of the kernel, picked by the
// processor at start-up. Run under an emulated processor without AVX2
// (NORVALE_EMULATED_CPU names it), the tests reach the plain build, which
// the processors these tests usually run on never pick.
TEST(EscapeCount, EmulatedProcessorPicksThePlainKernel)
{
    if (!getenv("NORVALE_EMULATED_CPU"))
        GTEST_SKIP() << "run natively";
    EXPECT_FALSE(__builtin_cpu_supports("avx2")) << getenv("NORVALE_EMULATED_CPU");
}
#endif

TEST(EscapeCount, ListedPixels)
{
    EXPECT_EQ(Go_out_of_Mandelbrot_set(0, 0), 0);
    EXPECT_EQ(Go_out_of_Mandelbrot_set(480, 300), MANDELBROT_NUM_ITERATIONS);
    EXPECT_EQ(Go_out_of_Mandelbrot_set(710, 300), 2);
    // Beyond the pane the mapping goes on.
    EXPECT_EQ(Go_out_of_Mandelbrot_set(-1, -1), 0);
    EXPECT_EQ(Go_out_of_Mandelbrot_set(0, 601), 0);
    EXPECT_EQ(Go_out_of_Mandelbrot_set(721, 300), 1);
}

TEST(EscapeCount, CrescentOfCountZero)
{
    for (int y = 0; y <= 600; ++y)
        EXPECT_EQ(Go_out_of_Mandelbrot_set(0, y), y == 300 ? MANDELBROT_NUM_ITERATIONS : 0) << y;
    EXPECT_EQ(Go_out_of_Mandelbrot_set(105, 0), 0);
    EXPECT_NE(Go_out_of_Mandelbrot_set(106, 0), 0);
    for (int x = 0; x <= 720; x += 7)
        for (int y = 0; y <= 600; y += 7) {
            double re = MANDELBROT_Re(x), im = MANDELBROT_Im(y);
            if (re * re + im * im > 4.0)
                EXPECT_EQ(Go_out_of_Mandelbrot_set(x, y), 0) << x << "," << y;
        }
}

TEST(Panes, SeparatorAndRegionFrame)
{
    Surface s;
    Draw_boundary_between_sets(s.surface);
    EXPECT_EQ(s.at(720, 0), 0xFFFFFFu);
    EXPECT_EQ(s.at(721, 599), 0xFFFFFFu);
    EXPECT_EQ(s.at(719, 300), SENTINEL);
    EXPECT_EQ(s.at(722, 300), SENTINEL);

    Draw_boundary(s.surface, 0, 720, 0, 600, RGB_to_color(255, 0, 0));
    for (int y = 0; y < 600; ++y) {
        EXPECT_EQ(s.at(0, y), 0xFF0000u);
        EXPECT_EQ(s.at(720, y), 0xFF0000u);
        EXPECT_EQ(s.at(721, y), 0xFFFFFFu);
    }
    for (int x = 0; x <= 720; ++x)
        EXPECT_EQ(s.at(x, 0), 0xFF0000u);
    EXPECT_EQ(s.at(721, 0), 0xFFFFFFu);
    // The bottom edge lies on row 600, below the window.
    EXPECT_EQ(s.at(300, 599), SENTINEL);
    EXPECT_EQ(s.at(1, 1), SENTINEL);
}

TEST(Panes, MandelbrotPaneStaysInItsColumns)
{
    Surface s;
    Draw_Mandelbrot_set(s.surface);
    EXPECT_EQ(s.at(0, 0), 0x0000FFu);
    EXPECT_EQ(s.at(480, 300), 0u);
    EXPECT_EQ(s.at(710, 300), (uint32_t)Get_color(2));
    for (int y = 0; y < 600; ++y)
        EXPECT_EQ(s.at(720, y), SENTINEL);
    uint64_t before = Area_hash(s.surface, 0, 0, 1322, 600);
    // Pixels beyond the window are clipped away.
    Draw_Mandelbrot_point(s.surface, -1, -1);
    Draw_Mandelbrot_point(s.surface, 300, 600);
    Draw_Mandelbrot_point(s.surface, 300, 601);
    EXPECT_EQ(Area_hash(s.surface, 0, 0, 1322, 600), before);
}

TEST(Panes, JuliaPaneOfTheStartPoint)
{
    Surface s;
    Draw_Julia_set(s.surface, CENTER_RE, CENTER_IM);
    int lowest = 999, highest = -1;
    std::set<std::pair<int, int>> fourteen;
    for (int i = 0; i < JULIA_WEIGHT; ++i)
        for (int j = 0; j < SCREEN_HEIGHT; ++j) {
            uint32_t color = s.at(722 + i, j);
            ASSERT_NE(color, 0u) << "black at " << i << "," << j;
            int k = 0;
            while (k < 51 && (uint32_t)Get_color(k) != color)
                ++k;
            ASSERT_LT(k, 51) << "not a palette colour at " << i << "," << j;
            lowest = std::min(lowest, k);
            highest = std::max(highest, k);
            if (k == 14)
                fourteen.insert({i, j});
        }
    EXPECT_EQ(lowest, 1);
    EXPECT_EQ(highest, 14);
    ASSERT_EQ(fourteen.size(), 8u);
    for (auto [i, j] : fourteen) {
        EXPECT_TRUE(fourteen.count({600 - i, j})) << i << "," << j;
        EXPECT_TRUE(fourteen.count({i, 600 - j})) << i << "," << j;
    }
    EXPECT_EQ(s.at(721, 0), SENTINEL);
}

TEST(Panes, PanesMatchAPlainReferenceLoop)
{
    // Light and heavy panes; c on and just past the edges of the shortcuts
    // for orbits that never escape (|c| = 1/4, the cardioid, the 2-bulb).
    const std::pair<double, double> parameters[] = {
        {0.96, 0.0},       {-0.12, 0.04}, {0.25, 0.0},  {0.2501, 0.0}, {-0.2, 0.15},
        {-0.5833, 0.3333}, {-1.0, 0.0},   {-1.2, 0.15}, {-0.75, 0.01}, {0.0, -1.25}};
    Surface s;
    for (auto [cr, ci] : parameters) {
        Draw_Julia_set(s.surface, cr, ci);
        long differ = 0;
        for (int i = 0; i < JULIA_WEIGHT; ++i)
            for (int j = 0; j < SCREEN_HEIGHT; ++j)
                differ += s.at(722 + i, j) != Reference_color(Reference_Julia_count(i, j, cr, ci), 500);
        printf("Julia pane of c = %g%+gi: %ld pixels differ from the plain loop\n", cr, ci, differ);
        EXPECT_EQ(differ, 0);
    }
    Draw_Mandelbrot_set(s.surface);
    long differ = 0;
    for (int x = 0; x < MANDELBROT_WEIGHT; ++x)
        for (int y = 0; y < SCREEN_HEIGHT; ++y)
            differ += s.at(x, y) != Reference_color(Reference_Mandelbrot_count(x, y), 2000);
    printf("Mandelbrot pane: %ld pixels differ from the plain loop\n", differ);
    EXPECT_EQ(differ, 0);
}
