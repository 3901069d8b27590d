// What the benchmark drivers under Wine share: a clock and a count of the files below a folder.
#pragma once

#include <string>

// Seconds on the performance counter.
double Now();

struct Tally {
    long files = 0;
    unsigned long long bytes = 0;
    bool operator==(const Tally&) const = default;
};

// The files below folder and their bytes, leaving out files named skip.
Tally Count(const std::string& folder, const std::string& skip = "");

// Deletes folder and everything below it.
void RemoveTree(const std::string& folder);
