// The compressed container's tests: the format, and files through vexlo-lzrw1.
#include "tst_lzrw1files.h"
#include "tst_lzrw1format.h"

#include <QCoreApplication>
#include <QTest>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    {
        TestLzrw1Format t;
        failed += QTest::qExec(&t, argc, argv);
    }
    {
        TestLzrw1Files t;
        failed += QTest::qExec(&t, argc, argv);
    }
    return failed ? 1 : 0;
}
