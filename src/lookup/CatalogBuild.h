#pragma once
// The headword catalog built on a thread of its own after a dictionary is loaded, so
// that neither the load nor its first record waits for it; the first lookup waits
// instead, the completion list does without it until it is there.

#include "lookup/HeadwordCatalog.h"

#include <atomic>
#include <memory>
#include <thread>

class CatalogBuild {
public:
    CatalogBuild() = default;
    CatalogBuild(const CatalogBuild&) = delete;
    CatalogBuild& operator=(const CatalogBuild&) = delete;
    ~CatalogBuild() { Stop(); }

    // Builds from `headwords`, which must not change until Stop (a build under way for
    // earlier lines is dropped first).
    void Start(const TextLines& headwords);
    // Drops the build under way and waits for its thread: before the lines change.
    void Stop();
    // The catalog, waiting for the build; an empty one when none was started or the
    // build failed.
    const HeadwordCatalog& Get();
    // Whether Get would return at once.
    bool Ready() const noexcept { return !thread_.joinable() || done_.load(std::memory_order_acquire); }

private:
    std::jthread thread_;
    std::atomic<bool> done_{false};
    std::unique_ptr<HeadwordCatalog> built_;  // written by the thread, read after join
    HeadwordCatalog catalog_;
};
