#pragma once

// Shared by the benchmarks: time a piece of work many times and summarise.

#include <algorithm>
#include <chrono>
#include <numeric>
#include <vector>

struct Figures
{
    double median;
    double mean;
};

inline Figures Summarise(std::vector<double> samples)
{
    if (samples.empty())
        return {0, 0};
    const double sum = std::accumulate(samples.begin(), samples.end(), 0.0);
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], sum / double(samples.size())};
}

// Runs work(round) `rounds` times; each run's time in `Unit` (std::micro, std::milli).
template <class Unit, class Work> Figures TimeRounds(int rounds, Work&& work)
{
    std::vector<double> samples;
    samples.reserve(std::size_t(std::max(rounds, 0)));
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work(i);
        const auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, Unit>(end - start).count());
    }
    return Summarise(std::move(samples));
}
