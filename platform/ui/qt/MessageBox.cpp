#include "platform/ui/MessageBox.h"

#include <cstdio>

#include <QGuiApplication>
#include <QMessageBox>

#include "platform/ui/Application.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/qt/WidgetHandles.h"

namespace platform::ui {

namespace qt {
    std::optional<int> AskModalAnswerer(const ModalInfo& info);
}

namespace {
    // Without a screen (offscreen, minimal) nobody sees the box: say it on standard error too.
    void EchoWhenHeadless(const std::u16string& caption, const std::u16string& text)
    {
        QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
            return;
        QByteArray line = (QString::fromStdU16String(caption) + QStringLiteral(": ")
            + QString::fromStdU16String(text) + QLatin1Char('\n'))
                              .toUtf8();
        std::fputs(line.constData(), stderr);
        std::fflush(stderr);
    }
}

int MessageBoxW(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type)
{
    EnsureApplication();
    EchoWhenHeadless(caption, text);
    if (std::optional<int> answer = qt::AskModalAnswerer(ModalInfo { u"MessageBoxW", caption, text }))
        return *answer;

    QMessageBox box(qt::WidgetFromHandle(owner));
    box.setWindowTitle(QString::fromStdU16String(caption));
    box.setText(QString::fromStdU16String(text));
    box.setIcon((type & MB_ICONINFORMATION) ? QMessageBox::Information : QMessageBox::NoIcon);
    if ((type & 0xF) == MB_OKCANCEL)
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    else
        box.setStandardButtons(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
}

} // namespace platform::ui
