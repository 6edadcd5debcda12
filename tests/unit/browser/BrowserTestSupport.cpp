#include "BrowserTestSupport.h"

#include "ids/WindowMessageIds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

OpenTabProbe::OpenTabProbe()
    // One file per process: cases run side by side, and a half-written layout fails to load.
    : layoutPath(
        QDir::temp()
            .filePath(QStringLiteral("zandrel-open-tab-probe-%1.xml").arg(QCoreApplication::applicationPid()))
            .toStdString())
{
    QFile file(QString::fromStdString(layoutPath));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(
            "<?xml version=\"1.0\" encoding=\"utf-8\"?><Window size=\"200,100\"><VerticalLayout/></Window>");
}

OpenTabProbe::~OpenTabProbe() { QFile::remove(QString::fromStdString(layoutPath)); }

platform::ui::CDuiString OpenTabProbe::GetSkinFile()
{
    return QString::fromStdString(layoutPath).toStdU16String();
}

platform::ui::LRESULT OpenTabProbe::HandleMessage(
    platform::ui::UINT msg, platform::ui::WPARAM wParam, platform::ui::LPARAM lParam)
{
    if (msg == WM_OPEN_TAB) {
        openedTabs.push_back(platform::ui::PayloadValue<std::string>(wParam));
        return 0;
    }
    return WindowImplBase::HandleMessage(msg, wParam, lParam);
}
