#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <string>
#include <vector>

class QWebEnginePage;

namespace platform::engine::qt {

class PermissionPrompts;

// Qt 6.8's engine asks the program which screen or window a page may share (and captures it
// itself) and before a page reads the clipboard; Qt 6.4's captures the whole desktop alone and
// refuses every read, so the page bridge asks the user for both there.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
constexpr bool kEngineAsksForClipboardAndScreens = true;
#else
constexpr bool kEngineAsksForClipboardAndScreens = false;
#endif

// One line of the choice prompt: a screen or a window of the engine's lists, by its row there.
struct DesktopChoice {
    bool screen = false;
    int row = 0;
    std::string name;
};

// The lines for the engine's screens and window titles: the one screen as the whole screen,
// several by number, windows by title (untitled ones cannot be told apart and are left out);
// at most limit lines.
std::vector<DesktopChoice> DesktopChoices(
    const QStringList& screenNames, const QStringList& windowTitles, size_t limit);

// Hands the engine's own choice requests of page to the tab's choice prompt: the source chosen
// is what the engine captures, and its capture request that follows is not asked again. One
// choice at a time per page: the engine holds a page's second request until the first is
// answered, and one that still comes meanwhile is refused. Nothing on Qt 6.4.
// GUI thread only.
void ConnectDesktopMediaRequests(QWebEnginePage* page, PermissionPrompts& prompts);

} // namespace platform::engine::qt
