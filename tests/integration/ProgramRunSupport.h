#pragma once

#include "support/LocalHttpServer.h"
#include "support/TestConfig.h"
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// The live-show site and update server for a program run, on 127.0.0.1.
class TestSite {
public:
    // lobbyPage: the home page's HTML; empty for a plain page titled "Lobby".
    explicit TestSite(std::string lobbyPage = {});
    int Port() const { return server.Port(); }
    std::string Url(const std::string& path) const;
    // The update reply for the next checks.
    void SetUpdateReply(const std::string& json);
    // The query strings of the requests for /report that pages made, in order of arrival.
    std::vector<std::string> Reports();

    // The keys the page titled page got ("Lobby", "Room1"...), in order.
    std::string Typed(const std::string& page);
    // Whether that page has loaded its key reporter.
    bool Listening(const std::string& page);
    // Whether that page's first frame has reached the screen; input before it is lost. A page
    // that draws nothing (an empty body) never says so.
    bool Shown(const std::string& page);

    std::atomic<int> lobbyHits { 0 };
    // First frames presented, of any page.
    std::atomic<int> pagesShown { 0 };
    // Rooms the lobby's button opens.
    std::atomic<int> roomsToOpen { 1 };
    std::atomic<int> startRecordHits { 0 };

private:
    std::mutex lock;
    std::string updateReply;
    std::vector<std::string> reports;
    std::map<std::string, std::string> typed;
    std::set<std::string> shown;
    // Last, so that it stops before what its handlers use goes.
    LocalHttpServer server;
};

// A config.xml pointing at the site for its pages and its update server.
TestConfig SiteConfig(const TestSite& site);

// A program folder of its own (executable, skin, config.xml) pointing at a test site.
class ProgramFolder {
public:
    // extraElements go into config.xml after the usual ones.
    explicit ProgramFolder(const TestSite& site, const std::string& extraElements = {});
    QString Executable() const;
    QString Path() const { return folder.path(); }

private:
    QTemporaryDir folder;
};

// One run of the program; killed when the object goes if it still runs.
class ProgramRun {
public:
    ProgramRun(const ProgramFolder& folder, const QProcessEnvironment& environment);
    ~ProgramRun();
    qint64 Pid() const { return process.processId(); }
    bool WaitForExit(int timeoutMs);
    int ExitCode() const { return process.exitCode(); }
    bool Crashed() const { return process.exitStatus() == QProcess::CrashExit; }
    QString StandardError();
    void Kill();
    // Engine helper processes started by this run: (pid, command line).
    std::vector<std::pair<qint64, QString>> Children() const;

private:
    QProcess process;
    QByteArray errors;
};

// An X server of its own for tests that act like a user (xdotool); skipped without one.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    bool Available() const { return !name.isEmpty(); }
    QString Name() const { return name; }
    // Runs xdotool with arguments on this display; returns its standard output.
    QString XdoTool(const QStringList& arguments) const;

private:
    QProcess server;
    QString name;
};

// The environment of a run: isolated user folders, no browser to open pages in.
QProcessEnvironment ProgramEnvironment(const QString& home, const VirtualDisplay* display = nullptr);

// Clicks the main window's close button and confirms the question; false when the window or
// the question cannot be found.
bool ConfirmMainWindowClose(const VirtualDisplay& display);
// Presses Return once a message box of the program has the keyboard; false when none gets it in time.
bool AnswerTheBoxWithReturn(const VirtualDisplay& display, int timeoutMs);
