#include "CParallelFiles.h"
#include <algorithm>
#include <system_error>
#include <utility>

CParallelFiles::CParallelFiles(size_t files, size_t workers, Convert convert,
                               std::function<void()> wake)
    : files(files), convert(std::move(convert)), wake(std::move(wake)) {
    workers = std::min(workers, files);
    std::lock_guard<std::mutex> guard(lock);
    try {
        for (size_t worker = 0; worker < workers; ++worker) {
            threads.emplace_back(&CParallelFiles::Work, this, worker);
            ++running;
        }
    } catch (const std::system_error&) {
        // Fewer threads than asked: the ones there share the files.
    }
}

CParallelFiles::~CParallelFiles() {
    StopTaking();
    Join();
}

void CParallelFiles::StopTaking() {
    std::lock_guard<std::mutex> guard(lock);
    taking = false;
}

std::vector<CParallelFiles::Ended> CParallelFiles::TakeEnded() {
    std::lock_guard<std::mutex> guard(lock);
    return std::exchange(ended, {});
}

bool CParallelFiles::Running() {
    std::lock_guard<std::mutex> guard(lock);
    return running > 0;
}

void CParallelFiles::Join() {
    if (threads.empty()) {
        {
            std::lock_guard<std::mutex> guard(lock);
            running = 1;
        }
        Work(0);
        return;
    }
    for (std::thread& thread : threads)
        if (thread.joinable())
            thread.join();
}

void CParallelFiles::Work(size_t worker) {
    std::unique_lock<std::mutex> guard(lock);
    while (taking && next < files) {
        const size_t file = next++;
        guard.unlock();
        const int result = convert(worker, file);
        guard.lock();
        ended.push_back({file, result});
        guard.unlock();
        wake();
        guard.lock();
    }
    --running;
    guard.unlock();
    wake();
}
