#include "cli/CommandLine.h"
#include "platform/Heap.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    b2d::prepareHeap();
    QCoreApplication app(argc, argv);
    // The same name as the window program, so both use the same per-user folders.
    QCoreApplication::setApplicationName(QStringLiteral("velmorab2d"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    b2d::cli::Streams io{out, err, &in};
    QStringList arguments = QCoreApplication::arguments();
    const QString programPath = argc > 0 ? QString::fromLocal8Bit(argv[0]) : QStringLiteral("velmorab2d-cli");
    arguments.removeFirst();
    return b2d::cli::runCommandLine(arguments, io, programPath);
}
