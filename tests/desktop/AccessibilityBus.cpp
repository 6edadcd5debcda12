#include "AccessibilityBus.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QStandardPaths>

#include "support/WaitUntil.h"

namespace {
constexpr int kReplyMs = 10000;
constexpr uint kStateShowing = 25;
const char kAccessible[] = "org.a11y.atspi.Accessible";

QString UniqueConnectionName(const char* kind)
{
    static int made = 0;
    return QStringLiteral("accessibility-%1-%2").arg(kind).arg(++made);
}

QString SessionReply(QDBusConnection& session, const QDBusMessage& call)
{
    QDBusPendingCall pending = session.asyncCall(call, kReplyMs);
    WaitUntil([&] { return pending.isFinished(); }, kReplyMs + 5000);
    const QDBusMessage reply = pending.reply();
    return reply.arguments().isEmpty() ? QString() : reply.arguments().front().toString();
}
}

AccessibilityBus::AccessibilityBus(const QString& sessionBusAddress)
{
    const QString program
        = QStandardPaths::findExecutable("at-spi-bus-launcher", { "/usr/libexec", "/usr/lib/at-spi2-core" });
    if (program.isEmpty() || sessionBusAddress.isEmpty() || !runtime.isValid())
        return;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", sessionBusAddress);
    // Its bus's socket goes here; without a display it leaves every X server's root window alone.
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    environment.remove("DISPLAY");
    launcher.setProcessEnvironment(environment);
    launcher.start(program, {});
    if (!launcher.waitForStarted(10000))
        return;

    const QString sessionName = UniqueConnectionName("session");
    QString address;
    {
        QDBusConnection session = QDBusConnection::connectToBus(sessionBusAddress, sessionName);
        // Asked before the launcher owns its name, a session bus that activates services would
        // start a second launcher.
        if (WaitUntil(
                [&] { return session.interface()->isServiceRegistered("org.a11y.Bus").value(); }, 30000))
            address = SessionReply(session,
                QDBusMessage::createMethodCall(
                    "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
    }
    QDBusConnection::disconnectFromBus(sessionName);
    if (!address.isEmpty())
        bus = QDBusConnection::connectToBus(address, UniqueConnectionName("bus"));
}

AccessibilityBus::~AccessibilityBus()
{
    if (bus.isConnected())
        QDBusConnection::disconnectFromBus(bus.name());
    if (launcher.state() != QProcess::NotRunning) {
        launcher.terminate();
        if (!launcher.waitForFinished(5000)) {
            launcher.kill();
            launcher.waitForFinished(5000);
        }
    }
}

QDBusMessage AccessibilityBus::Call(const Reference& object, const QString& interface, const QString& method,
    const QVariantList& arguments) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(object.first, object.second, interface, method);
    call.setArguments(arguments);
    QDBusPendingCall pending = bus.asyncCall(call, kReplyMs);
    WaitUntil([&] { return pending.isFinished(); }, kReplyMs + 5000);
    return pending.reply();
}

QList<AccessibilityBus::Reference> AccessibilityBus::Children(const Reference& object) const
{
    QList<Reference> children;
    const QDBusMessage reply = Call(object, kAccessible, "GetChildren");
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return children;
    // a(so)
    const QDBusArgument list = reply.arguments().front().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString name;
        QDBusObjectPath path;
        list.beginStructure();
        list >> name >> path;
        list.endStructure();
        children.append({ name, path.path() });
    }
    list.endArray();
    return children;
}

std::optional<AccessibilityBus::Reference> AccessibilityBus::Application(qint64 pid) const
{
    const Reference registry { "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root" };
    for (const Reference& application : Children(registry)) {
        if (bus.interface()->servicePid(application.first).value() == static_cast<uint>(pid))
            return application;
    }
    return std::nullopt;
}

QRect AccessibilityBus::Extents(const Reference& object) const
{
    const QDBusMessage reply = Call(object, "org.a11y.atspi.Component", "GetExtents", { 0u }); // screen
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    int x = 0, y = 0, width = 0, height = 0;
    const QDBusArgument extents = reply.arguments().front().value<QDBusArgument>();
    extents.beginStructure();
    extents >> x >> y >> width >> height;
    extents.endStructure();
    return QRect(x, y, width, height);
}

bool AccessibilityBus::Showing(const Reference& object) const
{
    const QDBusMessage reply = Call(object, kAccessible, "GetState");
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    QList<uint> words;
    reply.arguments().front().value<QDBusArgument>() >> words;
    return !words.isEmpty() && (words.front() & (1u << kStateShowing));
}

QString AccessibilityBus::Property(const Reference& object, const QString& name) const
{
    const QDBusMessage reply
        = Call(object, "org.freedesktop.DBus.Properties", "Get", { QString(kAccessible), name });
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().front().value<QDBusVariant>().variant().toString();
}

QList<QRect> AccessibilityBus::FindAll(
    qint64 pid, const QRect& screenRect, const QString& role, const QString& name) const
{
    QList<QRect> found;
    const std::optional<Reference> application = Application(pid);
    if (!application)
        return found;
    QList<Reference> stack;
    for (const Reference& window : Children(*application)) {
        if (Showing(window) && Extents(window) == screenRect)
            stack.append(window);
    }
    while (!stack.isEmpty()) {
        const Reference object = stack.takeLast();
        // Objects come and go while windows open and close: a failed call reads as not showing.
        if (!Showing(object))
            continue;
        const QString foundRole = Call(object, kAccessible, "GetRoleName").arguments().value(0).toString();
        if (foundRole == role && Property(object, "Name") == name)
            found.append(Extents(object));
        // A page's own tree is large and holds none of the window's controls.
        else if (foundRole != "document web")
            stack.append(Children(object));
    }
    return found;
}
