#include "errorreport.h"

#include <cstdio>

namespace vexlo {

namespace {
ErrorReporter &reporter()
{
    static ErrorReporter r;
    return r;
}
} // namespace

void setErrorReporter(ErrorReporter r)
{
    reporter() = std::move(r);
}

void reportError(const QString &text)
{
    if (reporter()) {
        reporter()(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace vexlo
