#pragma once
// A test that waits out the fetcher's bound on silence sets it short for
// as long as it runs: the rule is the same, the wait is seconds, not 30.

#include "net/HttpFetcher.h"

class ShortStallBound {
public:
    explicit ShortStallBound(DWORD ms = 3000) { HttpFetcher::SetStallMs(ms); }
    ~ShortStallBound() { HttpFetcher::SetStallMs(HttpFetcher::kStallMs); }
    ShortStallBound(const ShortStallBound&) = delete;
    ShortStallBound& operator=(const ShortStallBound&) = delete;
};
