#pragma once
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A list of files shared out among worker threads, up to one file per
// worker at a time, each worker taking the next file in the list's order.
// Whoever started them learns of every file that ended, from any thread.
class CParallelFiles {
  public:
    struct Ended {
        size_t file;
        int result;
    };
    // convert(worker, file): the file's result, on the worker's own thread.
    using Convert = std::function<int(size_t worker, size_t file)>;

    // Starts up to workers threads (fewer when the system gives fewer; with
    // none, Join converts the files on the calling thread).
    // wake is called on a worker's thread after each of its files and when
    // it stops taking files.
    CParallelFiles(size_t files, size_t workers, Convert convert,
                   std::function<void()> wake = [] {});
    // Takes no further file and waits for the running ones.
    ~CParallelFiles();
    CParallelFiles(const CParallelFiles&) = delete;
    CParallelFiles& operator=(const CParallelFiles&) = delete;

    // No worker takes a further file; the running ones go on.
    void StopTaking();
    // The files ended since the last call, in the order they ended.
    std::vector<Ended> TakeEnded();
    // Whether a worker is still at work.
    bool Running();
    // Waits until every worker has stopped.
    void Join();

  private:
    void Work(size_t worker);

    const size_t files;
    const Convert convert;
    const std::function<void()> wake;
    std::mutex lock;
    size_t next = 0, running = 0;
    bool taking = true;
    std::vector<Ended> ended;
    std::vector<std::thread> threads;
};
