#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream(stderr) << "velmorab2d-cli: no commands yet\n";
    return 1;
}
