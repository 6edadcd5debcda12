#include "platform/ui/qt/LayoutDiagnostics.h"

#include <cstdio>
#include <set>
#include <tuple>

#include <QString>

namespace platform::ui::qt {

namespace {
    CDuiString currentFile;
    long long currentLine = 0;
    std::set<std::tuple<CDuiString, long long, CDuiString>> reported;
}

void SetLayoutLocation(const CDuiString& file, long long line)
{
    currentFile = file;
    currentLine = line;
}

void ClearLayoutLocation()
{
    currentFile.clear();
    currentLine = 0;
}

void ReportLayoutProblem(const CDuiString& what, const CDuiString& name)
{
    if (!reported.insert({ currentFile, currentLine, what + u":" + name }).second)
        return;
    QString where = currentFile.empty()
        ? QStringLiteral("(code)")
        : QString::fromStdU16String(currentFile) + ":" + QString::number(currentLine);
    std::fprintf(stderr, "%s: %s \"%s\" skipped\n", where.toUtf8().constData(),
        QString::fromStdU16String(what).toUtf8().constData(),
        QString::fromStdU16String(name).toUtf8().constData());
}

} // namespace platform::ui::qt
