// quillon-batch: the headless tool for databases, reports and scripted checks.
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    err << "usage: quillon-batch COMMAND ...\n";
    return 2;
}
