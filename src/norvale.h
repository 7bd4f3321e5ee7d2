// norvale: the Mandelbrot set beside the Julia set of a point walking to its boundary.
#pragma once

#include <SDL.h>

// Layout of the window, in pixels.
extern const int MANDELBROT_WEIGHT;
extern const int BOUNDARY_WEIGHT;
extern const int JULIA_WEIGHT;
extern const int SCREEN_HEIGHT;
extern const int SCREEN_WEIGHT;

// Iteration limits of the escape counts.
extern const int MANDELBROT_NUM_ITERATIONS;
extern const int JULIA_NUM_ITERATIONS;

// The two windows onto the complex plane.
extern const double MANDELBROT_RE_MIN;
extern const double MANDELBROT_RE_MAX;
extern const double MANDELBROT_IM_MIN;
extern const double MANDELBROT_IM_MAX;
extern const double MANDELBROT_RE_STEP;
extern const double MANDELBROT_IM_STEP;
extern const double JULIA_RE_MIN;
extern const double JULIA_RE_MAX;
extern const double JULIA_IM_MIN;
extern const double JULIA_IM_MAX;

// The walk: its start point and its region.
extern const double CENTER_RE;
extern const double CENTER_IM;
extern const double MIN_RE;
extern const double MAX_RE;
extern const double MIN_IM;
extern const double MAX_IM;
extern const int MAX_WALK_STEPS;
extern const int MAX_STEP_LENGTH;

// The walk's direction in degrees; -1.0 until chosen.
extern double angle;

int RGB_to_color(int r, int g, int b);
int Grey(int v);

double MANDELBROT_Re(int x);
double MANDELBROT_Im(int y);
int MANDELBROT_x(double re);
int MANDELBROT_y(double im);

void Draw_boundary_between_sets(SDL_Surface* screen);
void Draw_boundary(SDL_Surface* screen, int left, int right, int top, int bottom, int color);

int Get_color(int k);
int Go_out_of_Mandelbrot_set(int x, int y);
void Draw_Mandelbrot_point(SDL_Surface* screen, int x, int y);
void Draw_Mandelbrot_set(SDL_Surface* screen);
void Draw_Julia_set(SDL_Surface* screen, double cr, double ci);

double Get_step(int k);
int Get_pause_time(int k);
int Truncate_step(double step);
