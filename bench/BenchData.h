#pragma once

#include <QString>

namespace benchdata {

// A file of the benchmarks' data folder (made if missing).
QString path(const QString& name);

// The demo list of 'rows' subarticles, built on first use and built again when an older builder made it
// (the figures would not be today's); the files made from an old list go with it.
QString demoList(qint64 rows);

} // namespace benchdata
