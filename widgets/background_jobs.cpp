#include "widgets/background_jobs.h"

#include <algorithm>
#include <utility>

void BackgroundJobs::run(std::function<void()> job) {
    std::erase_if(jobs_, [](Job& j) {
        if (!j.done->load()) return false;
        j.thread.join();
        return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    // The job (and whatever it holds) ends on its own thread, so that
    // nothing it owns is taken apart on the caller's.
    std::thread thread([done, job = std::move(job)]() mutable {
        try {
            job();
        } catch (...) {
            // A job reports its own failures; one that throws ends only itself.
        }
        job = nullptr;
        done->store(true);
    });
    jobs_.push_back({std::move(thread), std::move(done)});
}

void BackgroundJobs::waitAll() {
    for (Job& j : jobs_) j.thread.join();
    jobs_.clear();
}
