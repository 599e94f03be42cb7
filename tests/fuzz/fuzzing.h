#pragma once

// What the fuzz targets share: a broken invariant aborts the run, the log stays quiet, and the
// first four bytes of an input seed the chunking.
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Fuzzing {

inline void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

inline void quiet(QtMsgType, const QMessageLogContext &, const QString &) { }

struct Random
{
    std::uint32_t state = 0x9E3779B9u;
    std::uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Takes the seed off the front of the input: false when there are not four bytes.
    bool seed(const std::uint8_t *&data, std::size_t &size, std::uint32_t *taken)
    {
        if (size < 4)
            return false;
        std::memcpy(taken, data, 4);
        state ^= *taken;
        next();
        data += 4;
        size -= 4;
        return true;
    }
};

} // namespace Fuzzing
