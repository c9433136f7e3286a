#include "lookup/CatalogBuild.h"

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kBuildNiceness = 10;

}  // namespace

void CatalogBuild::Start(const TextLines& headwords) {
    Stop();
    catalog_ = {};
    done_.store(false, std::memory_order_relaxed);
    thread_ = std::jthread([this, &headwords](std::stop_token stop) {
        // Behind the window's own work: the user's next steps come first.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kBuildNiceness);
        try {
            built_ = std::make_unique<HeadwordCatalog>(HeadwordCatalog::Build(headwords, stop));
        } catch (const std::exception&) {
            // Out of memory for a million headwords: the lookups then find nothing and
            // fall back to the search, which needs no catalog.
            built_.reset();
        }
        // What the build held for a moment (its keys seen, its sort) goes back to the
        // system rather than staying in this thread's heap.
        malloc_trim(0);
        done_.store(true, std::memory_order_release);
    });
}

void CatalogBuild::Stop() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    thread_.join();
    built_.reset();
}

const HeadwordCatalog& CatalogBuild::Get() {
    if (thread_.joinable()) {
        thread_.join();
        if (built_) catalog_ = std::move(*built_);
        built_.reset();
    }
    return catalog_;
}
