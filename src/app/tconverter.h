#pragma once

#include <QStringList>

class QTextStream;

/// The command-line converter: reads a document as the editor opens it and
/// writes it in another of the editor's formats.
///   tessary-convert [--to FORMAT] INPUT OUTPUT
/// FORMAT is rtf, rtc, mvt, txt (plain ANSI) or utf16; without --to the
/// output's extension decides. Returns the process exit code: 0 on success,
/// 1 when the input cannot be read or the output not written, 2 on a usage
/// error; the reason goes to err as one line.
class TConverter
{
public:
    static int run(const QStringList &arguments, QTextStream &err);
};
