#include "ProgramRunSupport.h"

#include "support/WaitUntil.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <csignal>
#include <cstdlib>
#include <utility>

TestSite::TestSite(std::string lobbyPage)
{
    // Pages report every key they get, so a test sees where the keyboard goes. The default
    // lobby's button (the page's whole top) opens roomsToOpen rooms, each in a tab of its own.
    static const std::string keyReporter
        = "<script>function report(key) { fetch('/typed?page=' + document.title + '&key=' + key); }"
          "report(''); document.addEventListener('keydown', function (e) { "
          "report(encodeURIComponent(e.key)); });"
          "</script>";
    // The engine may drop a click or key that comes before a page's first frame reaches the screen,
    // though the page's scripts may have run: every page says when that frame was presented, so a
    // test acts only on what a user could see. After the closing tag, the parser still runs it.
    static const std::string shownReporter
        = "<script>new PerformanceObserver(function (list, observer) { observer.disconnect(); "
          "fetch('/shown?page=' + encodeURIComponent(document.title)); })"
          ".observe({ type: 'paint', buffered: true });</script>";
    server.Handle("/",
        [this, lobbyPage = std::move(lobbyPage)](
            const httplib::Request& request, httplib::Response& response) {
            if (request.get_param_value("miniClient") == "1")
                ++lobbyHits;
            if (!lobbyPage.empty()) {
                response.set_content(lobbyPage + shownReporter, "text/html");
                return;
            }
            response.set_content(
                "<html><head><title>Lobby</title></head><body>lobby"
                "<button id='open' style='position:fixed;left:0;top:0;width:100%;height:300px'"
                " onclick='for (var i = 1; i <= "
                    + std::to_string(roomsToOpen)
                    + "; ++i)"
                      " window.open(\"/room?n=\" + i)'>全部围观</button>"
                    + keyReporter + "</body></html>" + shownReporter,
                "text/html");
        });
    server.Handle("/room", [](const httplib::Request& request, httplib::Response& response) {
        const std::string n = std::to_string(std::atoi(request.get_param_value("n").c_str()));
        response.set_content("<html><head><title>Room" + n + "</title></head><body>room " + n + keyReporter
                + "</body></html>" + shownReporter,
            "text/html");
    });
    server.Handle("/shown", [this](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard<std::mutex> guard(lock);
        shown.insert(request.get_param_value("page"));
        ++pagesShown;
        response.set_content("", "text/plain");
    });
    server.Handle("/typed", [this](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard<std::mutex> guard(lock);
        // The first report, with no key, says the page is listening.
        typed[request.get_param_value("page")] += request.get_param_value("key");
        response.set_content("", "text/plain");
    });
    server.Handle("/report", [this](const httplib::Request& request, httplib::Response& response) {
        std::string query;
        for (const auto& [name, value] : request.params)
            query.append(query.empty() ? "" : "&").append(name).append("=").append(value);
        std::lock_guard<std::mutex> guard(lock);
        reports.push_back(query);
        response.set_content("", "text/plain");
    });
    server.Handle(
        "/brivo/miniclient/startRecord.action", [this](const httplib::Request&, httplib::Response& response) {
            ++startRecordHits;
            response.set_content("{}", "application/json");
        });
    server.Handle("/update/check", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard<std::mutex> guard(lock);
        response.set_content(updateReply, "application/json");
    });
}

std::string TestSite::Url(const std::string& path) const { return server.Url(path); }

std::vector<std::string> TestSite::Reports()
{
    std::lock_guard<std::mutex> guard(lock);
    return reports;
}

std::string TestSite::Typed(const std::string& page)
{
    std::lock_guard<std::mutex> guard(lock);
    return typed[page];
}

bool TestSite::Listening(const std::string& page)
{
    std::lock_guard<std::mutex> guard(lock);
    return typed.count(page) > 0;
}

bool TestSite::Shown(const std::string& page)
{
    std::lock_guard<std::mutex> guard(lock);
    return shown.count(page) > 0;
}

void TestSite::SetUpdateReply(const std::string& json)
{
    std::lock_guard<std::mutex> guard(lock);
    updateReply = json;
}

TestConfig SiteConfig(const TestSite& site)
{
    TestConfig config;
    config.Set("Update", "url", site.Url("/update/check")).Set("Site", "url", site.Url(""));
    return config;
}

ProgramFolder::ProgramFolder(const TestSite& site, const std::string& extraElements)
{
    // A copy, not a link: the program finds its folder through its own resolved path.
    QFile::copy(ZANDREL_PROGRAM_DIR "/zandrel", Executable());
    QFile::setPermissions(Executable(), QFile::permissions(ZANDREL_PROGRAM_DIR "/zandrel"));
    QFile::link(ZANDREL_PROGRAM_DIR "/skin", folder.filePath("skin"));
    SiteConfig(site).Append(extraElements).Write(folder.filePath("config.xml").toStdString());
}

QString ProgramFolder::Executable() const { return folder.filePath("zandrel"); }

ProgramRun::ProgramRun(const ProgramFolder& folder, const QProcessEnvironment& environment)
{
    process.setProcessEnvironment(environment);
    process.setProgram(folder.Executable());
    process.setWorkingDirectory(folder.Path());
    process.start();
    process.waitForStarted();
}

ProgramRun::~ProgramRun() { Kill(); }

bool ProgramRun::WaitForExit(int timeoutMs)
{
    return WaitUntil([this] { return process.state() == QProcess::NotRunning; }, timeoutMs);
}

QString ProgramRun::StandardError()
{
    errors += process.readAllStandardError();
    return QString::fromUtf8(errors);
}

void ProgramRun::Kill()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.kill();
    process.waitForFinished(10000);
}

std::vector<std::pair<qint64, QString>> ProgramRun::Children() const
{
    std::vector<std::pair<qint64, QString>> children;
    const qint64 parent = Pid();
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool isPid = false;
        qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // The parent pid is the second field after the parenthesised command name.
        QString line = QString::fromUtf8(stat.readAll());
        QStringList fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 2 || fields[1].toLongLong() != parent)
            continue;
        QFile cmdline("/proc/" + entry + "/cmdline");
        cmdline.open(QIODevice::ReadOnly);
        children.emplace_back(pid, QString::fromUtf8(cmdline.readAll()).replace(QChar(0), ' '));
    }
    return children;
}

VirtualDisplay::VirtualDisplay()
{
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()
        || QStandardPaths::findExecutable("xdotool").isEmpty())
        return;
    // The server picks a free display itself and writes its number once it accepts clients;
    // a guessed number could belong to a stale socket of a server that is gone. An X server resets
    // when its last client leaves, refusing whoever connects meanwhile: a test's probe (xdotool,
    // xprop) that ended just as the program connected made it fail to start now and then.
    server.start(
        "Xvfb", { "-displayfd", "1", "-noreset", "-screen", "0", "1280x800x24", "-nolisten", "tcp" });
    if (!server.waitForStarted(5000))
        return;
    QDeadlineTimer deadline(10000);
    while (!server.canReadLine() && server.state() == QProcess::Running && !deadline.hasExpired())
        server.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    QByteArray number = server.readLine().trimmed();
    if (!number.isEmpty() && server.state() == QProcess::Running)
        name = ":" + QString::fromLatin1(number);
}

VirtualDisplay::~VirtualDisplay()
{
    if (server.state() != QProcess::NotRunning) {
        server.terminate();
        server.waitForFinished(5000);
    }
}

QString VirtualDisplay::XdoTool(const QStringList& arguments) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", name);
    tool.setProcessEnvironment(environment);
    tool.start("xdotool", arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QProcessEnvironment ProgramEnvironment(const QString& home, const VirtualDisplay* display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    environment.insert("XDG_CACHE_HOME", home + "/cache");
    environment.insert("XDG_CONFIG_HOME", home + "/config");
    environment.insert("XDG_DATA_HOME", home + "/data");
    environment.insert("XDG_STATE_HOME", home + "/state");
    environment.insert("XDG_CONFIG_DIRS", home + "/etc");
    environment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Pages the program hands to the desktop go nowhere.
    environment.insert("BROWSER", "/bin/true");
    if (display) {
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("DISPLAY", display->Name());
    } else {
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    }
    return environment;
}

bool ConfirmMainWindowClose(const VirtualDisplay& display)
{
    // The window's own close button sits at the right end of its caption.
    QString window = display.XdoTool({ "search", "--name", "Tessik微端" }).split('\n').first();
    if (window.isEmpty())
        return false;
    QStringList geometry = display.XdoTool({ "getwindowgeometry", "--shell", window }).split('\n');
    auto value = [&](const QString& key) {
        for (const QString& line : geometry)
            if (line.startsWith(key + "="))
                return line.mid(key.size() + 1).toInt();
        return 0;
    };
    int x = value("X") + value("WIDTH") - 20;
    int y = value("Y") + 20;
    display.XdoTool({ "mousemove", QString::number(x), QString::number(y), "click", "1" });
    return AnswerTheBoxWithReturn(display, 20000);
}

bool AnswerTheBoxWithReturn(const VirtualDisplay& display, int timeoutMs)
{
    // The key goes to whichever window has the keyboard: it is sent once the box has it.
    const bool boxFocused = WaitUntil(
        [&] {
            const QString focused = display.XdoTool({ "getwindowfocus" });
            return !focused.isEmpty()
                && display.XdoTool({ "search", "--onlyvisible", "--class", "zandrel" })
                       .split('\n')
                       .contains(focused)
                && display.XdoTool({ "getwindowname", focused }) != QStringLiteral("Tessik微端");
        },
        timeoutMs);
    if (boxFocused)
        display.XdoTool({ "key", "Return" });
    return boxFocused;
}
