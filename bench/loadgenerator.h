#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

/// Keeps every core busy with a spinning thread until destroyed.
class LoadGenerator
{
public:
    explicit LoadGenerator(unsigned threads = std::thread::hardware_concurrency())
    {
        for (unsigned i = 0; i < (threads ? threads : 1); ++i)
            m_threads.emplace_back([this](std::stop_token stop) { spin(stop); });
    }
    ~LoadGenerator() = default; // jthread asks each thread to stop and joins it
    LoadGenerator(const LoadGenerator &) = delete;
    LoadGenerator &operator=(const LoadGenerator &) = delete;

    unsigned threads() const { return static_cast<unsigned>(m_threads.size()); }

private:
    void spin(const std::stop_token &stop)
    {
        std::uint64_t state = 1;
        while (!stop.stop_requested()) {
            for (int i = 0; i < 4096; ++i)
                state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        }
        m_sink.fetch_xor(state, std::memory_order_relaxed);
    }

    std::atomic<std::uint64_t> m_sink { 0 };
    std::vector<std::jthread> m_threads;
};
