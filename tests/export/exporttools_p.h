#pragma once

// Runs the real readers that check the writers' output.

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

struct ToolRun {
    bool found = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ToolRun runTool(const QString &program, const QStringList &arguments)
{
    ToolRun run;
    if (QStandardPaths::findExecutable(program).isEmpty()) return run;
    run.found = true;
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// Runs a tool inside a test function; skips the test only when the tool is absent.
#define RUN_TOOL(result, program, ...)                                                             \
    const ToolRun result = runTool(QStringLiteral(program), __VA_ARGS__);                          \
    if (!result.found) QSKIP(program " is not installed");
