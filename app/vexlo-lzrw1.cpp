// vexlo-lzrw1: the tally file's compressor on the command line (described in
// app/usage/vexlo-lzrw1.txt, which makes --help and the man page).
// Exit 0 on success; 1 when the work fails (the message on standard error, no OUT
// left behind); 2 for a command line it does not understand.
#include "lzrw1.h"
#include "vexlo-lzrw1-usage.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <exception>

namespace {

int usageError(const char *what)
{
    std::fprintf(stderr, "vexlo-lzrw1: %s\n%s", what, usage::kHelp);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(usage::kHelp, stdout);
        return 0;
    }
    if (args.contains(QStringLiteral("--version"))) {
        std::fputs(usage::kVersion, stdout);
        return 0;
    }
    if (args.isEmpty())
        return usageError("no command given");

    const QString command = args.takeFirst();
    const bool compress = command == QLatin1String("compress");
    if (!compress && command != QLatin1String("decompress"))
        return usageError("unknown command");

    TCompressMode mode = TCompressMode::Fast;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (compress && (a == QLatin1String("--mode") || a.startsWith(QLatin1String("--mode=")))) {
            QString value;
            if (a == QLatin1String("--mode")) {
                if (++i >= args.size())
                    return usageError("--mode needs a value");
                value = args.at(i);
            } else {
                value = a.mid(7);
            }
            if (value == QLatin1String("fast"))
                mode = TCompressMode::Fast;
            else if (value == QLatin1String("good"))
                mode = TCompressMode::Good;
            else if (value == QLatin1String("auto"))
                mode = TCompressMode::Auto;
            else
                return usageError("--mode is fast, good or auto");
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1 && a != QLatin1String("--")) {
            return usageError("unknown option");
        } else if (a == QLatin1String("--")) {
            files << args.mid(i + 1);
            break;
        } else {
            files << a;
        }
    }
    if (files.size() != 2)
        return usageError("give one input file and one output file");

    Tlzrw1 lzrw1;
    lzrw1.setInputFile(files.at(0));
    lzrw1.setOutputFile(files.at(1));
    lzrw1.setCompressMode(mode);
    try {
        if (compress)
            lzrw1.Compress();
        else
            lzrw1.Decompress();
    } catch (const ELzrw1Exception &e) {
        std::fprintf(stderr, "%s\n", e.message().toLocal8Bit().constData());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vexlo-lzrw1: %s\n", e.what());
        return 1;
    }
    return 0;
}
