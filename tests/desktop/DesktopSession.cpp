#include "DesktopSession.h"

#include <QStandardPaths>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

#include "support/WaitUntil.h"

namespace {
bool ToolsPresent()
{
    for (const char* tool : { "openbox", "xprop", "xwininfo", "xdotool", "import" }) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return false;
    }
    return true;
}
}

DesktopSession::DesktopSession()
{
    if (!display.Available() || !ToolsPresent())
        return;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display.Name());
    manager.setProcessEnvironment(environment);
    // With every tool installed, a desktop that does not come up is a failure, not a reason to
    // skip: a skipped scenario would let a run pass that never tried it.
    manager.start("openbox", { "--sm-disable" });
    if (!manager.waitForStarted(10000)) {
        ADD_FAILURE() << "openbox did not start";
        return;
    }
    // Openbox names itself on the root window once it manages the screen; on a loaded machine
    // that took longer than half a minute.
    // Now and then it fails to open the display and exits at once; it is started again then.
    int restarts = 0;
    managerRunning = WaitUntil(
        [this, &restarts] {
            if (manager.state() == QProcess::NotRunning && restarts < 3) {
                ++restarts;
                manager.start("openbox", { "--sm-disable" });
                manager.waitForStarted(10000);
            }
            return manager.state() == QProcess::Running
                && Run("xprop", { "-root", "_NET_SUPPORTING_WM_CHECK" }).contains("window id");
        },
        90000);
    if (!managerRunning)
        ADD_FAILURE() << "openbox did not manage the screen within 90 s: "
                      << manager.readAllStandardError().toStdString();
}

DesktopSession::~DesktopSession()
{
    if (manager.state() != QProcess::NotRunning) {
        manager.terminate();
        if (!manager.waitForFinished(5000)) {
            manager.kill();
            manager.waitForFinished(5000);
        }
    }
}

QString DesktopSession::Run(const QString& tool, const QStringList& arguments) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display.Name());
    process.setProcessEnvironment(environment);
    process.start(tool, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QStringList DesktopSession::ViewableWindows(qint64 pid) const
{
    QStringList windows;
    for (const QString& window : Run("xdotool", { "search", "--onlyvisible", "--pid", QString::number(pid) })
                                     .split('\n', Qt::SkipEmptyParts)) {
        // Tool tips come and go with the pointer; they are not the windows a scenario counts.
        if (!Property(window, "_NET_WM_WINDOW_TYPE").contains("TOOLTIP"))
            windows << window;
    }
    return windows;
}

bool DesktopSession::WaitForViewableCount(qint64 pid, int count, int timeoutMs) const
{
    return WaitUntil([&] { return ViewableWindows(pid).size() == count; }, timeoutMs);
}

QRect DesktopSession::Geometry(const QString& window) const
{
    // "X=…\nY=…\nWIDTH=…\nHEIGHT=…" with --shell.
    QRect rect;
    for (const QString& line : Run("xdotool", { "getwindowgeometry", "--shell", window }).split('\n')) {
        int value = line.section('=', 1).toInt();
        if (line.startsWith("X="))
            rect.moveLeft(value);
        else if (line.startsWith("Y="))
            rect.moveTop(value);
        else if (line.startsWith("WIDTH="))
            rect.setWidth(value);
        else if (line.startsWith("HEIGHT="))
            rect.setHeight(value);
    }
    return rect;
}

QString DesktopSession::Property(const QString& window, const QString& name) const
{
    return Run("xprop", { "-id", window, name });
}

QString DesktopSession::ActiveWindow() const { return Run("xdotool", { "getactivewindow" }); }

bool DesktopSession::SameWindow(const QString& a, const QString& b)
{
    bool okA = false, okB = false;
    qulonglong left = a.toULongLong(&okA, 0), right = b.toULongLong(&okB, 0);
    return okA && okB && left == right;
}

void DesktopSession::ClickAt(const QString& window, int x, int y) const
{
    // The press goes out only once the server has the pointer over the target, so the
    // control under it has seen the pointer arrive.
    Run("xdotool", { "mousemove", "--window", window, QString::number(x), QString::number(y) });
    QPoint target = Geometry(window).topLeft() + QPoint(x, y);
    WaitUntil(
        [&] {
            QString location = Run("xdotool", { "getmouselocation", "--shell" });
            return location.contains(QString("X=%1\n").arg(target.x()))
                && location.contains(QString("Y=%1\n").arg(target.y()));
        },
        10000);
    Run("xdotool", { "click", "1" });
}

void DesktopSession::WheelAt(const QString& window, int x, int y, int notches) const
{
    Run("xdotool", { "mousemove", "--window", window, QString::number(x), QString::number(y) });
    Run("xdotool", { "click", "--repeat", QString::number(std::abs(notches)), notches < 0 ? "4" : "5" });
}

QImage DesktopSession::Capture(const QString& window) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display.Name());
    process.setProcessEnvironment(environment);
    process.start("import", { "-window", window, "png:-" });
    process.waitForFinished(30000);
    return QImage::fromData(process.readAllStandardOutput(), "PNG");
}

void DesktopSession::Keep(const QImage& image, const QString& name)
{
    const QString folder = qEnvironmentVariable("DESKTOP_TEST_SHOTS");
    if (!folder.isEmpty())
        image.save(folder + "/" + name + ".png");
}

void DesktopSession::DragBy(const QString& window, int x, int y, int dx, int dy,
    const std::function<bool()>& followed, const std::function<bool()>& started) const
{
    // Screen coordinates: the window moves under the pointer while it is dragged.
    QPoint start = Geometry(window).topLeft() + QPoint(x, y);
    Run("xdotool", { "mousemove", QString::number(start.x()), QString::number(start.y()), "mousedown", "1" });
    // The window manager measures from where the pointer is once it takes it over, which on a busy
    // machine can be most of a quick drag later: the pointer creeps, up to two thirds of the way,
    // until the window starts to follow.
    const int distance = std::max(std::abs(dx), std::abs(dy));
    for (int crept = 1; started && crept <= distance * 2 / 3 && !started(); ++crept) {
        Run("xdotool",
            { "mousemove", QString::number(start.x() + dx * crept / distance),
                QString::number(start.y() + dy * crept / distance) });
    }
    // Several steps, as a hand moves: the first ones pass the drag distance.
    for (int step = 1; step <= 4; ++step) {
        Run("xdotool",
            { "mousemove", QString::number(start.x() + dx * step / 4),
                QString::number(start.y() + dy * step / 4) });
    }
    if (followed)
        WaitUntil(followed, 30000);
    Run("xdotool", { "mouseup", "1" });
}

void DesktopSession::Key(const QString& keys) const { Run("xdotool", { "key", keys }); }

DesktopProgram::DesktopProgram(
    const DesktopSession& session, const Preparation& prepare, const std::string& lobbyPage)
    : site(lobbyPage)
    , desktop(session)
{
    QProcessEnvironment environment = ProgramEnvironment(home.path(), &session.Display());
    environment.insert("DBUS_SESSION_BUS_ADDRESS", session.SessionBusAddress());
    environment.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    if (prepare)
        prepare(folder.Path(), environment);
    // Up before the program, which looks for it on its session bus as it starts.
    accessibility = std::make_unique<AccessibilityBus>(environment.value("DBUS_SESSION_BUS_ADDRESS"));
    if (!accessibility->Available())
        ADD_FAILURE() << "no accessibility bus (at-spi2-core) to find the program's controls on";
    run = std::make_unique<ProgramRun>(folder, environment);
}

bool DesktopProgram::WaitUntilReady()
{
    bool shown = WaitUntil(
        [this] {
            QStringList windows = desktop.ViewableWindows(run->Pid());
            if (windows.size() != 1)
                return false;
            mainWindow = windows.front();
            return true;
        },
        60000);
    // The home page is asked for once the window has initialised, and from then on a close asks first;
    // the page takes clicks and keys once its first frame is on the screen.
    return shown && WaitUntil([this] { return site.lobbyHits > 0; }, 60000)
        && WaitUntil([this] { return site.pagesShown > 0; }, 60000);
}

QList<QRect> DesktopProgram::Controls(const QString& window, const QString& role, const QString& name) const
{
    QList<QRect> found;
    QRect frame;
    WaitUntil(
        [&] {
            frame = desktop.Geometry(window);
            found = accessibility->FindAll(run->Pid(), frame, role, name);
            return !found.isEmpty();
        },
        30000);
    for (QRect& control : found)
        control.translate(-frame.topLeft());
    std::sort(found.begin(), found.end(), [](const QRect& a, const QRect& b) {
        return std::pair(a.top(), a.left()) < std::pair(b.top(), b.left());
    });
    return found;
}

QRect DesktopProgram::Button(const QString& window, const QString& name) const
{
    return Controls(window, "push button", name).value(0);
}

bool DesktopProgram::ClickButton(const QString& window, const QString& name) const
{
    return ClickCentre(window, Button(window, name));
}

bool DesktopProgram::ClickTab(const QString& title) const
{
    return ClickCentre(mainWindow, Controls(mainWindow, "radio button", title).value(0));
}

bool DesktopProgram::CloseTab(const QString& title) const
{
    const QRect tab = Controls(mainWindow, "radio button", title).value(0);
    if (tab.isEmpty())
        return false;
    // Every tab's close button has the same name; the tab's own sits right beside it.
    for (const QRect& close : Controls(mainWindow, "push button", "关闭 ")) {
        if (close.center().y() >= tab.top() && close.center().y() <= tab.bottom()
            && close.left() >= tab.right() && close.left() <= tab.right() + close.width() * 2)
            return ClickCentre(mainWindow, close);
    }
    return false;
}

bool DesktopProgram::ClickCentre(const QString& window, const QRect& control) const
{
    if (control.isEmpty())
        return false;
    desktop.ClickAt(window, control.center().x(), control.center().y());
    return true;
}
