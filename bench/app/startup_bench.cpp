// Start-up time: from starting the process to its main window shown and the
// event loop idle (offscreen), the program (also under a Japanese locale,
// and with a scheduler of twenty queues) next to a bare Qt program with one
// empty QMainWindow. Each start runs in a scratch folder that holds a
// sender file, as a folder in use does; the median of 20 starts is
// reported. The other starts see no scheduler at all.
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
// The tests' private scheduler with its three queues and seventeen more:
// the printer box lists twenty and reads the default queue's PPD.
void BM_StartupVamuPelicanTwentyQueues(benchmark::State& state) {
    static const std::string dir = [] {
        const std::string d = "/tmp/vp_bench_startup_cups";
        const std::string fixture = std::string("sh ") + VP_CUPS_FIXTURE;
        if (std::system((fixture + " start " + d + " >/dev/null").c_str()) != 0) return std::string();
        std::atexit([] { std::system((std::string("sh ") + VP_CUPS_FIXTURE " stop /tmp/vp_bench_startup_cups").c_str()); });
        for (int i = 1; i <= 17; ++i) {
            const std::string add = "lpadmin -h " + d + "/main/cups.sock -p Extra" + std::to_string(i) +
                                    " -E -v capture:" + d + "/capture -P " + VP_CUPS_PPD + " 2>/dev/null";
            if (std::system(add.c_str()) != 0) return std::string();
        }
        return d;
    }();
    if (dir.empty()) {
        state.SkipWithError("the private scheduler could not be started");
        return;
    }
    ::setenv("CUPS_SERVER", (dir + "/main/cups.sock").c_str(), 1);
    measure(state, VP_STARTUP_PROBE);
    ::unsetenv("CUPS_SERVER");
}
void BM_StartupBareQMainWindow(benchmark::State& state) { measure(state, VP_STARTUP_BARE); }
void BM_StartupBareWithJapaneseLabel(benchmark::State& state) { measure(state, VP_STARTUP_BARE, "label"); }

}  // namespace

BENCHMARK(BM_StartupBareQMainWindow)->Iterations(1)->Repetitions(20)->UseManualTime()->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupBareWithJapaneseLabel)->Iterations(1)->Repetitions(20)->UseManualTime()->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupVamuPelican)->Iterations(1)->Repetitions(20)->UseManualTime()->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupVamuPelicanTwentyQueues)->Iterations(1)->Repetitions(20)->UseManualTime()->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupVamuPelicanJapanese)->Iterations(1)->Repetitions(20)->UseManualTime()->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
