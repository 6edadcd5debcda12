#pragma once

#include "platform/engine/CefCallbacks.h"

#include <functional>
#include <string>

class QWebEnginePage;

namespace platform::engine::qt {

class QtBrowser;

// Callbacks whose answer the engine collects right after the handler returns.
// GUI thread only.

class GeolocationCallback final : public CefGeolocationCallback {
public:
    explicit GeolocationCallback(std::function<void(bool granted)> answer)
        : answer(std::move(answer))
    {
    }
    void Continue(bool allow) override
    {
        if (!answer)
            return;
        const auto settle = std::move(answer);
        answer = nullptr;
        settle(allow);
    }

private:
    std::function<void(bool granted)> answer;
    IMPLEMENT_REFCOUNTING(GeolocationCallback);
};

class CertificateErrorCallback final : public CefAllowCertificateErrorCallback {
public:
    void Continue(bool allow) override { allowed = allow; }
    bool Allowed() const { return allowed; }

private:
    bool allowed = false;
    IMPLEMENT_REFCOUNTING(CertificateErrorCallback);
};

class AuthCallback final : public CefAuthCallback {
public:
    void Continue(const std::string& user, const std::string& pass) override
    {
        answered = true;
        username = user;
        password = pass;
    }
    void Cancel() override { answered = false; }
    bool Answered() const { return answered; }
    const std::string& Username() const { return username; }
    const std::string& Password() const { return password; }

private:
    bool answered = false;
    std::string username;
    std::string password;
    IMPLEMENT_REFCOUNTING(AuthCallback);
};

class DecisionCallback final : public CefQuotaCallback {
public:
    void Continue(bool allow) override { decision = allow ? 1 : 0; }
    void Cancel() override { decision = 0; }
    // -1 while unanswered.
    int Decision() const { return decision; }

private:
    int decision = -1;
    IMPLEMENT_REFCOUNTING(DecisionCallback);
};

class DownloadCallback final : public CefBeforeDownloadCallback {
public:
    void Continue(const std::string& path, bool dialog) override
    {
        continued = true;
        downloadPath = path;
        showDialog = dialog;
    }
    bool continued = false;
    std::string downloadPath;
    bool showDialog = false;

private:
    IMPLEMENT_REFCOUNTING(DownloadCallback);
};

// Routes the page's storage quota requests to the client's request handler. Qt 6.8's engine
// no longer asks: every origin's storage has the same limit there.
void ConnectQuotaRequests(QtBrowser* browser, QWebEnginePage* page);

} // namespace platform::engine::qt
