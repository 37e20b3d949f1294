// The main window: session, seats and queue, then the chat.
#include <QApplication>

int runWindowTests(int argc, char **argv);
int runChatWindowTests(int argc, char **argv);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    failed += runWindowTests(argc, argv);
    failed += runChatWindowTests(argc, argv);
    return failed ? 1 : 0;
}
