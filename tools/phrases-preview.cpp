// Shows the phrase-button editor filled with the default phrases, as "Phrase
// List" would, over a stand-in for the main window. For looking at it and taking
// screenshots (tools/shot-phrases); "Done" writes to the file named by the first
// argument, or to a throw-away one.
#include "tphrases.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const QStringList args = app.arguments();
    const QString file = args.size() > 1 ? args[1] : scratch.filePath(QStringLiteral("quorbitlobby.ini"));

    Tphrases editor;
    editor.settingsFile = file;
    QObject::connect(&editor, &Tphrases::setButtonPhrases, &editor, [](const QStringList &texts) {
        for (int i = 0; i < texts.size(); ++i)
            std::printf("b_phrase%d: %s\n", i + 1, texts[i].toLocal8Bit().constData());
        std::fflush(stdout);
    });
    QObject::connect(&editor, &QDialog::finished, &app, &QApplication::quit);
    editor.showPhrases({QStringLiteral("Way To Go!"), QStringLiteral("Good One!"), QStringLiteral("Nice Try!"),
                        QStringLiteral("Excellent!"), QStringLiteral("Brilliant!"), QStringLiteral("Wow, WTG!"),
                        QStringLiteral("Thanks!"), QStringLiteral("Way To Go Teamie!"),
                        QStringLiteral("Good Game Everyone!")});
    return app.exec();
}
