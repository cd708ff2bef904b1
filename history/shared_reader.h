#pragma once
// Reads the shared history on a thread of its own, so that a server that
// does not answer holds up no window: the window hands over a piece of
// work and goes on; the work runs here with the reader's own connections
// (to the station's file and to the server) and hands its answer back
// itself. Work waits in lanes, one piece per lane: a newer piece replaces
// one of the same lane that has not started (a search typed on replaces
// the one before it), and the lanes are served lowest first. Writes wait
// in a queue of their own, ahead of the reads: each runs once, in the
// order given, and none is replaced or dropped.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace store {

class SharedHistory;

class SharedReader {
public:
    using Work = std::function<void(SharedHistory& history)>;
    // `timeout` bounds each attempt to reach the server, after which the
    // reads fall back to the station's own rows.
    SharedReader(std::string localPath, std::string conninfo, std::chrono::milliseconds timeout);
    // stop(), then waits for the thread.
    ~SharedReader();
    SharedReader(const SharedReader&) = delete;
    SharedReader& operator=(const SharedReader&) = delete;

    void submit(int lane, Work work);
    void submitWrite(Work work);
    // Lets the thread end without waiting for it: reads not started are
    // dropped, the writes handed over still run (each within its time-out,
    // and at once when the server failed just before).
    void stop();
    // Lets the next work try the server at once (it answered elsewhere).
    void retryNow();

private:
    void run();

    std::string localPath_, conninfo_;
    std::chrono::milliseconds timeout_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::map<int, Work> pending_;
    std::deque<Work> writes_;
    bool retry_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace store
