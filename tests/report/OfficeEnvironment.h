#pragma once

#include <QList>

#include <csignal>

namespace reporttest {

// The process groups of the offices this test program has launched (the first one, and a new one after
// a test ended or froze the office).
const QList<qint64>& officeGroups();
// Sends a signal to every office of this program.
void signalOffices(int signal);
// Waits until no office of this program is left running (a few seconds at most).
void waitForOfficesToEnd();

} // namespace reporttest
