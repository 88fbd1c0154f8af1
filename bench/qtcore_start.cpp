// The least a Qt program's process costs: load Qt Core and its libraries, build the
// application object, exit. bench/compare.py times it beside paperconv, whose start-up
// cannot go below it.
#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return 0;
}
