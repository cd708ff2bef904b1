#pragma once
// Runs the command-line tool (VP_CLI_PATH) with arguments and standard
// input, and collects what it returns.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

struct CliRun {
    int exitCode = -1;  // -1 also for a crash or a run killed after 30 s
    QByteArray out, err;
};

// `program` (the tool itself when empty) with its own environment.
inline CliRun runProgram(const QString& program, const QStringList& args, const QByteArray& input,
                         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                         const QString& folder = {}) {
    QProcess p;
    p.setProcessEnvironment(env);
    if (!folder.isEmpty()) p.setWorkingDirectory(folder);
    p.start(program.isEmpty() ? QStringLiteral(VP_CLI_PATH) : program, args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(30000)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

inline CliRun runCli(const QStringList& args, const QByteArray& input,
                     const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    return runProgram({}, args, input, env);
}

// The tool run in `folder` (the folder it takes as its base folder).
inline CliRun runCliIn(const QString& folder, const QStringList& args, const QByteArray& input) {
    return runProgram({}, args, input, QProcessEnvironment::systemEnvironment(), folder);
}
