#pragma once
// Threads of their own for work that may wait on the network (a server
// that does not answer), so that the window goes on meanwhile. Whoever
// owns the jobs waits for them at its end; by then the windows are off
// the screen.
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class BackgroundJobs {
public:
    BackgroundJobs() = default;
    ~BackgroundJobs() { waitAll(); }
    BackgroundJobs(const BackgroundJobs&) = delete;
    BackgroundJobs& operator=(const BackgroundJobs&) = delete;

    // Starts `job` on a thread of its own (the threads of finished jobs
    // are cleared up meanwhile).
    void run(std::function<void()> job);
    void waitAll();

private:
    struct Job {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Job> jobs_;
};
