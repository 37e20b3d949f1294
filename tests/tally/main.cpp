// The tally area's tests: one executable running each test class in turn.
#include "tst_lzrw1files.h"
#include "tst_lzrw1format.h"

#include <QApplication>
#include <QTest>

int runTallyGridTests(int argc, char **argv);
int runTallyWindowTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    {
        TestLzrw1Format t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        TestLzrw1Files t;
        failed += QTest::qExec(&t, argc, argv);
    }
    failed += runTallyGridTests(argc, argv);
    failed += runTallyWindowTests(argc, argv);
    return failed ? 1 : 0;
}
