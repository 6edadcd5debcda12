#pragma once

#include "platform/engine/CefTypes.h"

#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace platform::engine::qt {

class QtBrowser;

// The permission requests of one browser's page that wait for the client's answer: camera,
// microphone, screen capture, notifications and reading the clipboard. A request outlives
// neither the document that made it nor the browser. GUI thread only.
class PermissionPrompts {
public:
    explicit PermissionPrompts(QtBrowser* browser);

    // Offers the request to the client's permission handler; refused when there is none.
    void Ask(QWebEnginePage* page, const QUrl& origin, QWebEnginePage::Feature feature);
    // The same for a request the engine never raises itself; settle hears the outcome.
    void AskFor(const QUrl& origin, unsigned types, std::function<void(bool granted)> settle);
    // Asks whether the page may hand an address of scheme to the desktop.
    void AskExternalScheme(
        const QUrl& origin, const std::string& scheme, std::function<void(bool granted)> settle);
    // Offers the sources to choose from; settle hears the chosen index, or -1 for a refusal.
    void AskChoice(const QUrl& origin, const std::vector<std::string>& sourceNames,
        std::function<void(int index)> settle);
    // The user just chose the whole screen for origin, which the engine's own capture gives:
    // the one capture request the engine raises for it next, within a few seconds, is allowed
    // without asking again. Any other capture request is asked.
    void AllowEngineCapture(const QUrl& origin);
    // The client's answer; prompts already settled are ignored.
    void Answer(uint64_t promptId, cef_permission_request_result_t result);
    void Choose(uint64_t promptId, int sourceIndex);
    // Refuses every waiting request (unless the page is going anyway) and tells the client.
    void DismissAll(bool answerPage);

    // The request bits of feature; 0 for what is never asked.
    static unsigned PermissionTypes(QWebEnginePage::Feature feature);
    // scheme://host[:port], as the client keeps its answers.
    static std::string OriginText(const QUrl& origin);

    // How long a choice of the whole screen waits for the engine's request.
    static constexpr std::chrono::milliseconds kEngineCaptureWindow { 5000 };

private:
    bool TakeEngineCapture(const QUrl& origin);

    QtBrowser* browser;
    std::string engineCaptureOrigin;
    std::chrono::steady_clock::time_point engineCaptureUntil;
    std::map<uint64_t, std::function<void(bool granted)>> waiting;
    std::map<uint64_t, std::function<void(int index)>> choosing;
};

} // namespace platform::engine::qt
