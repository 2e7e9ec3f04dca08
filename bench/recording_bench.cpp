// What a recording costs the machine. Run: build/bench/bench/recording_bench
//
// RecordingProcess runs the real program through one 10 s recording of a
// piped session and reports, for the whole process:
//   cpu_ms      CPU time, user and system;
//   late_ms     how long after the calendar second ticked the count arrived;
//   peak_kib    peak resident memory.
// CountEvents times the count generation alone.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <optional>
#include <string>

#include "simulation/lab.hpp"
#include "simulation/recording.hpp"

namespace {

void CountEvents(benchmark::State& state) {
    const double rate = static_cast<double>(state.range(0));
    std::uint32_t seed = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(counting_lab::count_events(counting_lab::counting_time_s.high, rate, counting_lab::tau,
                                                            counting_lab::seeded_draw(seed++)));
    }
}
BENCHMARK(CountEvents)->Arg(5)->Arg(17)->Arg(1'000'000);

// VmHWM of a running process, in KiB. (The rusage of a child started by
// posix_spawn would count its parent's pages too.)
double peak_resident_kib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6));
        }
    }
    return -1;
}

// The real program, started with a pipe to its keyboard (`keys`) and one
// from its screen (`screen`). Empty, with every pipe closed again, when it
// cannot be started.
struct Program {
    pid_t pid;
    int keys;
    int screen;
};
std::optional<Program> start_program() {
    int to_child[2];
    int from_child[2];
    if (pipe(to_child) != 0) {
        return std::nullopt;
    }
    if (pipe(from_child) != 0) {
        close(to_child[0]);
        close(to_child[1]);
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, to_child[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, from_child[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, to_child[1]);
    posix_spawn_file_actions_addclose(&actions, from_child[0]);
    char program[] = COUNTING_LAB_PROGRAM;
    char* argv[] = {program, nullptr};
    pid_t child = 0;
    const bool started = posix_spawn(&child, program, &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(to_child[0]);
    close(from_child[1]);
    if (!started) {
        close(to_child[1]);
        close(from_child[0]);
        return std::nullopt;
    }
    return Program{child, to_child[1], from_child[0]};
}

void RecordingProcess(benchmark::State& state) {
    using std::chrono::system_clock;
    // A program that dies early closes its end of the pipe: a write to it
    // then fails with EPIPE, reported below, instead of killing the benchmark.
    (void)std::signal(SIGPIPE, SIG_IGN);
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        const std::optional<Program> program = start_program();
        if (!program) {
            state.SkipWithError("cannot start " COUNTING_LAB_PROGRAM);
            return;
        }
        const pid_t child = program->pid;
        const int keys = program->keys;
        const int screen = program->screen;

        // Answer up to the recording, and leave the program waiting at the
        // next prompt: its peak memory is then read while it still runs.
        const auto type = [&](const std::string& typed) {
            if (write(keys, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size())) {
                state.SkipWithError("write failed");
            }
        };
        type("1\n3\n10\n");
        std::string transcript;
        double late_ms = -1;
        char buffer[4096];
        for (ssize_t got = 0; (got = read(screen, buffer, sizeof buffer)) > 0;) {
            transcript.append(buffer, static_cast<std::size_t>(got));
            const auto count_at = transcript.find("N = ");
            if (count_at == std::string::npos) {
                continue;
            }
            if (late_ms < 0) {
                const auto now = system_clock::now();
                late_ms = std::chrono::duration<double, std::milli>(now - std::chrono::floor<std::chrono::seconds>(now))
                              .count();
            }
            if (transcript.find("Waiting for your choice: ", count_at) != std::string::npos) {
                break;
            }
        }
        const double peak_kib = peak_resident_kib(child);
        type("0\n0\n");
        close(keys);
        while (read(screen, buffer, sizeof buffer) > 0) {
        }
        close(screen);

        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        const auto elapsed = std::chrono::steady_clock::now() - started;
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || late_ms < 0) {
            state.SkipWithError("the session did not end well");
            return;
        }
        const auto ms = [](timeval tv) {
            return static_cast<double>(tv.tv_sec) * 1e3 + static_cast<double>(tv.tv_usec) / 1e3;
        };
        state.counters["cpu_ms"] = ms(usage.ru_utime) + ms(usage.ru_stime);
        state.counters["late_ms"] = late_ms;
        state.counters["peak_kib"] = peak_kib;
    }
}
BENCHMARK(RecordingProcess)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
