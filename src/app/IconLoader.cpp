#include "app/IconLoader.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "framework/ShellIcon.h"

IconLoader::~IconLoader() { Stop(); }

HICON IconLoader::ExtractIconAt(const std::wstring& path, int index, int size) {
    return fw::ExtractIconAt(path, index, size).release();
}

void IconLoader::Load(std::vector<IconJob> jobs) {
    std::vector<IconResult> dropped;  // destroyed outside the lock
    {
        std::lock_guard lock(mutex_);
        if (stopped_) return;
        ++batch_;
        jobs_.assign(std::make_move_iterator(jobs.begin()), std::make_move_iterator(jobs.end()));
        dropped.swap(results_);
        if (!worker_.joinable() && !jobs_.empty()) {
            try {
                worker_ = std::thread(&IconLoader::Run, this);
            } catch (const std::system_error&) {
                jobs_.clear();  // no worker to be had: the rows keep image 0
            }
        }
    }
    wake_.notify_one();
}

void IconLoader::Prioritize(const std::vector<std::size_t>& keys) {
    std::lock_guard lock(mutex_);
    // Back to front, each found job to the front: they end up in the
    // order given.
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        const auto job = std::find_if(jobs_.begin(), jobs_.end(), [&](const IconJob& j) { return j.key == *key; });
        if (job == jobs_.end() || job == jobs_.begin()) continue;
        IconJob moved = std::move(*job);
        jobs_.erase(job);
        jobs_.push_front(std::move(moved));
    }
}

std::vector<IconResult> IconLoader::TakeResults() {
    std::lock_guard lock(mutex_);
    std::vector<IconResult> taken;
    taken.swap(results_);
    return taken;
}

bool IconLoader::Busy() const {
    std::lock_guard lock(mutex_);
    return !jobs_.empty() || extracting_ || !results_.empty();
}

void IconLoader::Stop() {
    std::vector<IconResult> dropped;
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        ++batch_;
        jobs_.clear();
        dropped.swap(results_);
    }
    wake_.notify_one();
    if (worker_.joinable()) worker_.join();
}

void IconLoader::Run() {
    for (;;) {
        IconJob job;
        unsigned batch = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopped_ || !jobs_.empty(); });
            if (stopped_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            batch = batch_;
            extracting_ = true;
        }

        fw::Icon icon(extract_(job.path, job.index, job.size));

        std::lock_guard lock(mutex_);
        extracting_ = false;
        // A newer batch or Stop came while extracting: the icon belongs to
        // rows that are gone, and is destroyed here.
        if (batch != batch_) continue;
        results_.push_back({job.key, std::move(icon)});
    }
}
