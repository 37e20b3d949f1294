// The main window wired to the other windows and to the settings file.
#include <QApplication>

int runSettingsWiringTests(int argc, char **argv);
int runWindowsLinksTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    failed += runSettingsWiringTests(argc, argv);
    failed += runWindowsLinksTests(argc, argv);
    return failed ? 1 : 0;
}
