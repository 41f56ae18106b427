#pragma once

#include <QString>

namespace testing_support {

// A small disk of the test program's own, for the failures a user's disk can have: full, or read-only. When
// the program runs with PREZZARIO_TEST_SMALL_DISK set (its size in KiB), main() mounts a tmpfs of that size
// in a mount namespace of the process (a user namespace too when not root), before any thread starts;
// the mount goes with the process. Programs the test starts see it too.
class SmallDisk
{
public:
    static void mountIfAsked();
    // The disk's folder; empty when none was asked for or it could not be mounted (why() says).
    static QString path();
    static QString why();

    // Fills the room left with a file of its own, so that the next write meets a full disk; empty() frees it.
    static void fill();
    static void empty();
    // Remounts the disk read-only, or writable again; false when the system refused.
    static bool setReadOnly(bool readOnly);
};

} // namespace testing_support
