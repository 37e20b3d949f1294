#include <QCoreApplication>
#include <QTest>

int runMessageTests(int argc, char **argv);
int runServerMessageTests(int argc, char **argv);
int runSocketTests(int argc, char **argv);
int runHostAddressTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    failed += runMessageTests(argc, argv);
    failed += runServerMessageTests(argc, argv);
    failed += runSocketTests(argc, argv);
    failed += runHostAddressTests(argc, argv);
    return failed;
}
