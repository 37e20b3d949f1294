#include <QCoreApplication>

int runIniFileTests(int argc, char **argv);
int runSettingsModelTests(int argc, char **argv);
int runNetworkChoicesTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    failed += runIniFileTests(argc, argv);
    failed += runSettingsModelTests(argc, argv);
    failed += runNetworkChoicesTests(argc, argv);
    return failed;
}
