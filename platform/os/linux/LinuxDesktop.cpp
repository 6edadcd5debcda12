#include "platform/os/linux/LinuxOsLayer.h"
#include "platform/os/linux/LinuxSpawn.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QThread>
#include <QUrl>

namespace platform::os {

namespace {

    constexpr int kFileManagerTimeoutMs = 3000;

    void OpenWithDesktop(const std::string& target) { SpawnDetached({ "xdg-open", target }, {}); }

} // namespace

void LinuxOsLayer::OpenUrl(const std::string& url) { OpenWithDesktop(url); }

void LinuxOsLayer::RevealInFileManager(const std::string& path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("ShowItems"));
        call << QStringList { QUrl::fromLocalFile(QString::fromStdString(path)).toString() } << QString();
        QDBusMessage reply = bus.call(call, QDBus::Block, kFileManagerTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return;
    }
    // No file manager answers on the bus: open the folder at least.
    auto slash = path.rfind('/');
    OpenWithDesktop(slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1));
}

bool LinuxOsLayer::SetClipboardText(const std::string& text)
{
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!application || QThread::currentThread() != application->thread())
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(QString::fromStdString(text));
    return true;
}

} // namespace platform::os
