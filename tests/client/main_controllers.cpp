// The session and the controllers without a window.
#include <QApplication>

int runControllerTests(int argc, char **argv);
int runRoundControllerTests(int argc, char **argv);
int runSessionTests(int argc, char **argv);
int runPreferencesTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    failed += runControllerTests(argc, argv);
    failed += runRoundControllerTests(argc, argv);
    failed += runSessionTests(argc, argv);
    failed += runPreferencesTests(argc, argv);
    return failed ? 1 : 0;
}
