#pragma once

#include <QByteArray>

/// A large RTF document for benchmarks: about 4.7 KB per page of mixed bold,
/// italic and coloured runs in several fonts, \u escapes and a heading every
/// page. The same pages give the same bytes, so figures compare across runs.
QByteArray makeBenchmarkRtf(int pages);
