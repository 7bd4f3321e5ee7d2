#include "run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

extern char** environ;

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

// The child's environment, made before the fork: the child only execs. The
// walks' own settings come first, from the file the test scripts share.
static std::vector<std::string> Environment(const Run_options& o, const std::string& dir)
{
    std::vector<std::string> ours;
    for (const std::string& line : Lines(Read_file(NORVALE_WALK_ENV)))
        if (!line.empty() && line[0] != '#')
            ours.push_back(line);
    ours.insert(ours.end(), {
        std::string("LD_PRELOAD=") + NORVALE_SEAM,
        "NORVALE_SEED=" + std::to_string(o.seed),
        "NORVALE_RAND=" + (o.rand_value >= 0 ? std::to_string(o.rand_value) : ""),
        "NORVALE_RECORD=" + dir + "/record",
        "NORVALE_EVENTS=" + o.events,
        "NORVALE_QUIT_AT_FLIP=" + o.quit_at_flips,
        "NORVALE_SIGNAL_AT_FLIP=" + o.signal_at_flip,
        "NORVALE_GIVE_UP_AFTER_POLLS=" + (o.give_up_after_polls ? std::to_string(o.give_up_after_polls) : ""),
        // The preloaded seam comes ahead of the sanitizers' runtime; let it.
        "ASAN_OPTIONS=verify_asan_link_order=0",
        std::string("NORVALE_SKIP_PAUSES=") + (o.skip_pauses ? "1" : ""),
        "NORVALE_DUMP=" + (o.dump ? dir + "/dump" : std::string()),
    });
    ours.insert(ours.end(), o.environment.begin(), o.environment.end());
    auto name = [](const std::string& pair) { return pair.substr(0, pair.find('=')); };
    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e)
        env[name(*e)] = *e;
    for (const std::string& pair : ours)
        env[name(pair)] = pair;
    for (const std::string& u : o.unset)
        env.erase(u);
    std::vector<std::string> result;
    for (auto& entry : env)
        if (entry.second.back() != '=')  // empty settings are left out
            result.push_back(entry.second);
    return result;
}

Run_result Run_program(const Run_options& o)
{
    Run_result r;
    char dir_template[] = "/tmp/norvale-run-XXXXXX";
    if (!mkdtemp(dir_template)) {
        perror("mkdtemp");
        return r;
    }
    std::string dir = dir_template;
    std::string out_path = dir + "/stdout";
    std::vector<std::string> env = Environment(o, dir);
    std::vector<char*> envp;
    for (std::string& pair : env)
        envp.push_back(pair.data());
    envp.push_back(nullptr);

    int out = -1, pipe_ends[2] = {-1, -1};
    if (o.output == Run_options::FILE)
        out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    else if (o.output == Run_options::FULL_DISK)
        out = open("/dev/full", O_WRONLY | O_CLOEXEC);
    else if (o.output == Run_options::PIPE || o.output == Run_options::BROKEN_PIPE) {
        if (pipe2(pipe_ends, O_CLOEXEC) == 0)
            out = pipe_ends[1];
        if (o.output == Run_options::BROKEN_PIPE)
            close(pipe_ends[0]), pipe_ends[0] = -1;
        else
            fcntl(pipe_ends[0], F_SETFL, O_NONBLOCK);
    }

    pid_t pid = fork();
    if (pid == 0) {
        if (out >= 0)
            dup2(out, 1);
        else
            close(1);
        execle(NORVALE_BINARY, "norvale", (char*)nullptr, envp.data());
        _exit(127);
    }
    if (out >= 0)
        close(out);
    if (pid < 0)
        perror("fork");

    // The trace pipe is emptied whenever it is half full, so a long trace
    // never blocks the program; until then the seam sees what a reader could.
    int capacity = pipe_ends[0] >= 0 ? fcntl(pipe_ends[0], F_GETPIPE_SZ) : 0;
    auto read_pipe = [&](bool all) {
        int queued = 0;
        if (pipe_ends[0] < 0 || (!all && (ioctl(pipe_ends[0], FIONREAD, &queued) != 0 || queued < capacity / 2)))
            return;
        char buffer[4096];
        for (ssize_t got; (got = read(pipe_ends[0], buffer, sizeof buffer)) > 0;)
            r.out.append(buffer, (size_t)got);
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(o.timeout_seconds);
    int status = 0;
    for (pid_t ended = 0; pid > 0 && ended == 0;) {
        read_pipe(false);
        ended = waitpid(pid, &status, WNOHANG);
        if (ended < 0) {
            perror("waitpid");
        } else if (ended == 0 && std::chrono::steady_clock::now() > deadline) {
            r.timed_out = true;
            kill(pid, SIGKILL);
            ended = waitpid(pid, &status, 0);
        } else if (ended == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (ended == pid)
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (pipe_ends[0] >= 0) {
        read_pipe(true);
        close(pipe_ends[0]);
    } else {
        r.out = Read_file(out_path);
    }
    r.record = Lines(Read_file(dir + "/record"));
    std::string dump = Read_file(dir + "/dump");
    r.dump.resize(dump.size() / 4);
    if (!r.dump.empty())
        memcpy(r.dump.data(), dump.data(), r.dump.size() * 4);
    Parse_trace(r);
    for (const char* name : {"/stdout", "/record", "/dump"})
        std::remove((dir + name).c_str());
    rmdir(dir.c_str());
    return r;
}

std::vector<Run_result> Run_programs(const std::vector<Run_options>& options)
{
    std::vector<Run_result> results(options.size());
    size_t workers = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::future<void>> running;
    std::atomic<size_t> next{0};
    for (size_t w = 0; w < workers; ++w)
        running.push_back(std::async(std::launch::async, [&] {
            for (size_t n; (n = next++) < options.size();)
                results[n] = Run_program(options[n]);
        }));
    for (auto& f : running)
        f.get();
    return results;
}
