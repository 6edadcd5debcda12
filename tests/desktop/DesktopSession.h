#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "AccessibilityBus.h"
#include "fakes/dbus/PrivateSessionBus.h"
#include "integration/ProgramRunSupport.h"

// A desktop of its own for one test: an X server with openbox managing it, a session bus, and
// the window-system queries and real input (XTest through xdotool) the scenarios need.
class DesktopSession {
public:
    DesktopSession();
    ~DesktopSession();
    // False when Xvfb, openbox, xdotool or xprop is missing or did not start.
    bool Available() const { return managerRunning; }
    const VirtualDisplay& Display() const { return display; }
    // The programs' session bus unless a scenario gives them another.
    QString SessionBusAddress() const { return sessionBus.Address(); }

    QString Run(const QString& tool, const QStringList& arguments) const;
    // Windows of a process that the server reports viewable, in stacking order.
    QStringList ViewableWindows(qint64 pid) const;
    // Waits (generously) until the process shows exactly count viewable windows.
    bool WaitForViewableCount(qint64 pid, int count, int timeoutMs = 30000) const;
    QRect Geometry(const QString& window) const;
    QString Property(const QString& window, const QString& name) const;
    QString ActiveWindow() const;
    // Window ids as the tools print them differ in base; these compare the numbers.
    static bool SameWindow(const QString& a, const QString& b);

    void ClickAt(const QString& window, int x, int y) const;
    // Turns the wheel over (x, y) of the window by notches (negative: away from the user).
    void WheelAt(const QString& window, int x, int y, int notches) const;
    // The window's pixels as the server has them now.
    QImage Capture(const QString& window) const;
    // Saves the image as name.png in the folder DESKTOP_TEST_SHOTS names, if it names one.
    static void Keep(const QImage& image, const QString& name);
    void Key(const QString& keys) const;
    // Presses at (x, y) of the window, moves by (dx, dy) in steps and releases, once
    // followed() holds when given: a window manager that waits for the client to redraw
    // each size ends the drag with the last size it applied. With started, the pointer
    // first creeps until started() holds (the window manager follows it).
    void DragBy(const QString& window, int x, int y, int dx, int dy,
        const std::function<bool()>& followed = {}, const std::function<bool()>& started = {}) const;

private:
    VirtualDisplay display;
    PrivateSessionBus sessionBus { QStringLiteral("desktop-session") };
    QProcess manager;
    bool managerRunning = false;
};

// The program under the session's window manager, with the site it talks to.
struct DesktopProgram {
    // prepare may change the program folder's files and the run's environment before the start.
    using Preparation = std::function<void(const QString& folder, QProcessEnvironment& environment)>;
    // lobbyPage: the site's home page (TestSite).
    explicit DesktopProgram(
        const DesktopSession& session, const Preparation& prepare = {}, const std::string& lobbyPage = {});
    // Waits until the main window is viewable and shows the home page.
    bool WaitUntilReady();
    // Where the controls of that role and accessible name show in window, in the window's
    // coordinates, once one shows there, in reading order; none when none ever did.
    QList<QRect> Controls(const QString& window, const QString& role, const QString& name) const;
    // The first button of that accessible name; empty when none ever showed.
    QRect Button(const QString& window, const QString& name) const;
    // Clicks it with the pointer; false when it never showed.
    bool ClickButton(const QString& window, const QString& name) const;
    // Clicks the main window's first tab button of that title, or the close button beside it.
    bool ClickTab(const QString& title) const;
    bool CloseTab(const QString& title) const;
    // Clicks the middle of a control found above; false when none was.
    bool ClickCentre(const QString& window, const QRect& control) const;

    TestSite site;
    ProgramFolder folder { site };
    QTemporaryDir home;
    // Its controls are found over the accessibility bus of the session bus it is given.
    std::unique_ptr<AccessibilityBus> accessibility;
    std::unique_ptr<ProgramRun> run;
    const DesktopSession& desktop;
    QString mainWindow;
};
