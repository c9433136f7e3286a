#include "lookup/CatalogBuild.h"

void CatalogBuild::Start(const TextLines& headwords) {
    Stop();
    catalog_ = {};
    done_.store(false, std::memory_order_relaxed);
    thread_ = std::jthread([this, &headwords](std::stop_token stop) {
        try {
            built_ = std::make_unique<HeadwordCatalog>(HeadwordCatalog::Build(headwords, stop));
        } catch (const std::exception&) {
            // Out of memory for a million headwords: the lookups then find nothing and
            // fall back to the search, which needs no catalog.
            built_.reset();
        }
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
