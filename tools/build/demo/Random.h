#pragma once

#include <QtGlobal>

#include <span>

namespace builder {

// splitmix64: small, fast and the same sequence on every platform and library version. The demo
// must be reproducible from its seed, which the standard distributions do not promise.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // Uniform enough in [0, n) for n far below 2^64; n > 0.
    quint64 below(quint64 n) { return next() % n; }
    // Uniform in [lo, hi], lo <= hi.
    qint64 between(qint64 lo, qint64 hi) { return lo + qint64(below(quint64(hi - lo) + 1)); }
    bool percent(int p) { return below(100) < quint64(p); }
    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) * 0x1.0p-53; }

    template <typename T> const T& pick(std::span<const T> items) { return items[below(items.size())]; }

private:
    quint64 m_state;
};

} // namespace builder
