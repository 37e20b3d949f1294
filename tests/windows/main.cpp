#include <QApplication>

int runDownloaderTests(int argc, char **argv);
int runHelpAboutTests(int argc, char **argv);
int runPhrasesTests(int argc, char **argv);
int runJoinListTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexlo"));
    int failed = 0;
    failed += runHelpAboutTests(argc, argv);
    failed += runDownloaderTests(argc, argv);
    failed += runPhrasesTests(argc, argv);
    failed += runJoinListTests(argc, argv);
    return failed;
}
