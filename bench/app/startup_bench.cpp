// Start-up time: from starting the process to its main window shown and the
// event loop idle (offscreen), the program (also under a Japanese locale)
// next to a bare Qt program with one empty QMainWindow. Each start runs in a
// scratch folder that holds a sender file, as a folder in use does; the
// median of 20 starts is reported.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string scratchFolder() {
    char tmpl[] = "/tmp/vp_startup_XXXXXX";
    const char* dir = ::mkdtemp(tmpl);
    if (!dir) std::abort();
    std::ofstream(std::string(dir) + "/my0.txt", std::ios::binary)
        << "100-0001\r\nChiyoda-ku 1-1\r\n\r\nSender\r\n03-0000-0000\r\n";
    return dir;
}

// Seconds from fork to the "idle" line, or a negative value on failure.
double startOnce(const char* program, const std::string& folder, const char* arg = nullptr) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        ::execl(program, program, arg, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string out;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') out += c;
    const auto t1 = std::chrono::steady_clock::now();
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);  // the end of the run is not timed
    if (out != "idle") return -1;
    return std::chrono::duration<double>(t1 - t0).count();
}

void measure(benchmark::State& state, const char* program, const char* arg = nullptr) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static const std::string folder = scratchFolder();
    startOnce(program, folder, arg);  // warm the file cache and the settings file
    for (auto _ : state) {
        const double s = startOnce(program, folder, arg);
        if (s < 0) {
            state.SkipWithError("the program did not report an idle main window");
            break;
        }
        state.SetIterationTime(s);
    }
}

void BM_StartupVamuPelican(benchmark::State& state) { measure(state, VP_STARTUP_PROBE); }
// Under a Japanese locale the start also reads Qt's own translation.
void BM_StartupVamuPelicanJapanese(benchmark::State& state) {
    ::setenv("LC_ALL", "ja_JP.UTF-8", 1);
    measure(state, VP_STARTUP_PROBE);
    ::unsetenv("LC_ALL");
}
void BM_StartupBareQMainWindow(benchmark::State& state) { measure(state, VP_STARTUP_BARE); }
void BM_StartupBareWithJapaneseLabel(benchmark::State& state) { measure(state, VP_STARTUP_BARE, "label"); }

}  // namespace

BENCHMARK(BM_StartupBareQMainWindow)->Iterations(1)->Repetitions(20)->UseManualTime()->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupBareWithJapaneseLabel)->Iterations(1)->Repetitions(20)->UseManualTime()->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupVamuPelican)->Iterations(1)->Repetitions(20)->UseManualTime()->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupVamuPelicanJapanese)->Iterations(1)->Repetitions(20)->UseManualTime()->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
