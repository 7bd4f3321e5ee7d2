#include "run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

static std::string Read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

static std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

static void Parse_trace(Run_result& r)
{
    std::vector<std::string> lines = Lines(r.out);
    static const std::regex step_line(R"(k = (-?\d+) --> (inf|\d+\.\d{6}))");
    static const std::regex position_line(R"((-?\d+), (-?\d+))");
    r.well_formed = !lines.empty() && r.out.back() == '\n' && lines.size() % 2 == 1;
    if (!r.well_formed)
        return;
    r.region = lines[0];
    for (size_t n = 1; n + 1 < lines.size(); n += 2) {
        std::smatch a, b;
        if (!std::regex_match(lines[n], a, step_line) || !std::regex_match(lines[n + 1], b, position_line)) {
            r.well_formed = false;
            return;
        }
        r.steps.push_back({std::stoi(a[1]), a[2], std::stoi(b[1]), std::stoi(b[2])});
    }
}

std::vector<std::string> Run_result::record_of(const std::string& kind) const
{
    std::vector<std::string> found;
    for (const std::string& line : record)
        if (line.compare(0, kind.size() + 1, kind + " ") == 0 || line == kind)
            found.push_back(line);
    return found;
}

Run_result Run_program(const Run_options& o)
{
    char dir_template[] = "/tmp/norvale-run-XXXXXX";
    std::string dir = mkdtemp(dir_template);
    std::string out_path = o.stdout_path.empty() ? dir + "/stdout" : o.stdout_path;
    std::string record_path = dir + "/record", dump_path = dir + "/dump";

    pid_t pid = fork();
    if (pid == 0) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("LD_PRELOAD", NORVALE_SEAM, 1);
        setenv("NORVALE_SEED", std::to_string(o.seed).c_str(), 1);
        setenv("NORVALE_RECORD", record_path.c_str(), 1);
        setenv("NORVALE_EVENTS", o.events.c_str(), 1);
        setenv("NORVALE_QUIT_AT_FLIP", std::to_string(o.quit_at_flip).c_str(), 1);
        // The seam is not built with the sanitizers; let them load after it.
        setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 0);
        if (o.skip_pauses)
            setenv("NORVALE_SKIP_PAUSES", "1", 1);
        if (o.dump)
            setenv("NORVALE_DUMP", dump_path.c_str(), 1);
        for (const std::string& pair : o.environment)
            putenv(strdup(pair.c_str()));
        for (const std::string& name : o.unset)
            unsetenv(name.c_str());
        int fd = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        execl(NORVALE_BINARY, "norvale", (char*)nullptr);
        _exit(127);
    }

    Run_result r;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(o.timeout_seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            r.timed_out = true;
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = Read_file(out_path);
    r.record = Lines(Read_file(record_path));
    std::string dump = Read_file(dump_path);
    r.dump.resize(dump.size() / 4);
    memcpy(r.dump.data(), dump.data(), r.dump.size() * 4);
    Parse_trace(r);
    std::remove(record_path.c_str());
    std::remove(dump_path.c_str());
    if (o.stdout_path.empty())
        std::remove(out_path.c_str());
    rmdir(dir.c_str());
    return r;
}
