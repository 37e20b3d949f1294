// The tally area's tests: the grid and its dump, then the window.
#include <QApplication>

int runTallyGridTests(int argc, char **argv);
int runTallyWindowTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    failed += runTallyGridTests(argc, argv);
    failed += runTallyWindowTests(argc, argv);
    return failed ? 1 : 0;
}
