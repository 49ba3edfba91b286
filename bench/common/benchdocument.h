#pragma once

#include <QByteArray>

/// A large RTF document for benchmarks: about 4.7 KB per page of mixed bold,
/// italic and coloured runs in several fonts, \u escapes and a heading every
/// page. The same pages give the same bytes, so figures compare across runs.
QByteArray makeBenchmarkRtf(int pages);

/// The same document with pictures (distinct PNG pictures of 160 x 120
/// pixels) and tables (5 rows of 4 cells of words) spread evenly over its
/// pages; with none of either it is makeBenchmarkRtf(pages) itself.
QByteArray makeBenchmarkRtf(int pages, int pictures, int tables);
