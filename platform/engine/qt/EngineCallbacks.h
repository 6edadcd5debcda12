#pragma once

#include "platform/engine/CefCallbacks.h"

#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <string>

namespace platform::engine::qt {

class QtBrowser;

// Callbacks whose answer the engine collects right after the handler returns.
// GUI thread only.

class GeolocationCallback final : public CefGeolocationCallback {
public:
    GeolocationCallback(QWebEnginePage* page, const QUrl& origin)
        : page(page)
        , origin(origin)
    {
    }
    void Continue(bool allow) override
    {
        if (!page || answered)
            return;
        answered = true;
        page->setFeaturePermission(origin, QWebEnginePage::Geolocation,
            allow ? QWebEnginePage::PermissionGrantedByUser : QWebEnginePage::PermissionDeniedByUser);
    }

private:
    QPointer<QWebEnginePage> page;
    QUrl origin;
    bool answered = false;
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

// Routes the page's storage quota requests to the client's request handler.
void ConnectQuotaRequests(QtBrowser* browser, QWebEnginePage* page);

} // namespace platform::engine::qt
