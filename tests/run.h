// Runs the real program with the seam preloaded and reads back what it did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Run_options {
    long seed = 194;              // a short walk: 30 steps
    long rand_value = -1;          // if not -1, what rand() returns every time
    std::string events = "quit";  // pushed at the first poll of the quit wait
    std::string quit_at_flips;    // close requests at these flips: "N,M,..."
    std::string signal_at_flip;   // "N:SIGNAL,...", raised at flip N
    long give_up_after_polls = 0; // if not 0, the run is ended (status 3) at this poll
    bool skip_pauses = true;
    bool dump = false;
    std::vector<std::string> environment;  // NAME=VALUE, added last
    std::vector<std::string> unset;        // names removed from the environment
    enum Output { FILE, PIPE, CLOSED, FULL_DISK, BROKEN_PIPE } output = FILE;
    int timeout_seconds = 300;
};

struct Step {
    int k;
    std::string shown;  // the step length as printed
    int x, y;           // the position after the move
};

struct Run_result {
    int status = -1;  // exit status, or 128 + signal; -1 if it could not be run
    bool timed_out = false;
    std::string out;
    std::vector<std::string> record;
    std::vector<uint32_t> dump;  // 1322 x 600 pixels, when asked for

    // The trace read back: the region line and the steps; false if malformed.
    std::string region;
    std::vector<Step> steps;
    bool well_formed = false;

    std::vector<std::string> record_of(const std::string& kind) const;
};

Run_result Run_program(const Run_options& options);

// Several runs at once, one per core; results in the order of the options.
std::vector<Run_result> Run_programs(const std::vector<Run_options>& options);
