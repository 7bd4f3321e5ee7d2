// Runs the real program with the seam preloaded and reads back what it did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Run_options {
    long seed = 1;
    std::string events = "quit";  // pushed at the first poll of the quit wait
    long quit_at_flip = -1;       // a close request during the walk
    bool skip_pauses = true;
    bool dump = false;
    std::vector<std::string> environment;  // NAME=VALUE, added last
    std::vector<std::string> unset;        // names removed from the environment
    std::string stdout_path;               // empty: a file of the run's own
    int timeout_seconds = 300;
};

struct Step {
    int k;
    std::string shown;  // the step length as printed
    int x, y;           // the position after the move
};

struct Run_result {
    int status = -1;  // exit status, or 128 + signal
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
