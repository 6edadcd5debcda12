#include "platform/engine/qt/BrowserPage.h"

#include "platform/engine/qt/ClipboardGesture.h"
#include "platform/engine/qt/QtBrowser.h"
#include "platform/engine/qt/TestPageServer.h"
#include "platform/os/OsLayer.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace platform::engine::qt {

namespace {
    // A scheme registered without a handler serves nothing: the engine would stop such
    // a load silently, where it is an unknown scheme to the client.
    bool EngineLoadsScheme(const QString& scheme, const QWebEngineProfile* profile)
    {
        static const QStringList builtIn { "http", "https", "file", "data", "about", "blob", "javascript",
            "ws", "wss", "chrome", "chrome-error", "devtools", "qrc", "view-source", "filesystem" };
        return builtIn.contains(scheme) || profile->urlSchemeHandler(scheme.toUtf8());
    }

    // The engine's own script dialogs keep English titles in every language, while its
    // translation catalogue has them: they are looked up there. They name the page's address.
    QString DialogTitle(const char* english, const QWebEnginePage* page)
    {
        return QCoreApplication::translate("UIDelegatesManager", english).arg(page->url().toString());
    }

    // The page may close while its dialog waits; the dialog then goes with the page's view.
    int RunDialog(QDialog* dialog)
    {
        QPointer<QDialog> alive(dialog);
        const int answer = dialog->exec();
        return alive ? answer : QDialog::Rejected;
    }

    QMessageBox* ScriptMessageBox(QWebEnginePage* page, QMessageBox::Icon icon, const QString& title,
        const QString& text, QMessageBox::StandardButtons buttons)
    {
        auto* box = new QMessageBox(icon, title, text, buttons, QWebEngineView::forPage(page));
        // A page's text is shown as it is, never as markup.
        box->setTextFormat(Qt::PlainText);
        return box;
    }
}

BrowserPage::BrowserPage(QtBrowser* browser, QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
    , browser(browser)
{
}

bool BrowserPage::LoadsScheme(const QUrl& url) const
{
    return EngineLoadsScheme(url.scheme().toLower(), profile());
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    (void)type;
    auto handler = browser->GetClient()->GetRequestHandler();
    const std::string address = url.toString().toStdString();
    if (LoadsScheme(url)) {
        if (handler && handler->OnBeforeBrowse(browser, browser, address, false))
            return false;
        // The rule travels with the navigation, so the new document gets it from its first script.
        if (isMainFrame)
            settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture,
                !(handler && handler->CanAutoplayWithSound(browser, address)));
        TestPageServer::Instance().BeforeNavigation(this, browser->GetIdentifier(), url);
        return true;
    }

    // Only what the client allows is handed to the desktop; the rest fails as the
    // engine reports an unknown scheme.
    bool allowOsExecution = false;
    if (handler)
        handler->OnProtocolExecution(browser, address, allowOsExecution);
    if (allowOsExecution) {
        // Any page could otherwise start the desktop's applications at will: only the top
        // document, just after the user pressed in the page, and once the user agreed. Frames
        // (an ad) and script on its own are refused without a word.
        ClipboardGesture* gesture = browser->Gesture();
        if (isMainFrame && gesture && gesture->Pressed())
            browser->Prompts().AskExternalScheme(
                this->url(), url.scheme().toStdString(), [address](bool granted) {
                    if (granted)
                        platform::os::Os().OpenUrl(address);
                });
    } else if (isMainFrame) {
        CefRefPtr<QtBrowser> target(browser);
        QTimer::singleShot(0, this, [target, address] {
            if (auto loadHandler = target->GetClient()->GetLoadHandler())
                loadHandler->OnLoadError(
                    target, target, ERR_UNKNOWN_URL_SCHEME, "net::ERR_UNKNOWN_URL_SCHEME", address);
        });
    }
    return false;
}

void BrowserPage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber, const QString& sourceId)
{
    auto handler = browser->GetClient()->GetDisplayHandler();
    if (handler
        && handler->OnConsoleMessage(
            browser, message.toStdU16String(), sourceId.toStdU16String(), lineNumber))
        return;
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
}

void BrowserPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    (void)securityOrigin;
    QPointer<QMessageBox> box = ScriptMessageBox(
        this, QMessageBox::Information, DialogTitle("Javascript Alert - %1", this), msg, QMessageBox::Ok);
    RunDialog(box);
    delete box.data();
}

bool BrowserPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    (void)securityOrigin;
    QPointer<QMessageBox> box = ScriptMessageBox(this, QMessageBox::Question,
        DialogTitle("Javascript Confirm - %1", this), msg, QMessageBox::Ok | QMessageBox::Cancel);
    const bool confirmed
        = RunDialog(box) != QDialog::Rejected && box && box->clickedButton() == box->button(QMessageBox::Ok);
    delete box.data();
    return confirmed;
}

bool BrowserPage::javaScriptPrompt(
    const QUrl& securityOrigin, const QString& msg, const QString& defaultValue, QString* result)
{
    (void)securityOrigin;
    QPointer<QInputDialog> dialog = new QInputDialog(QWebEngineView::forPage(this));
    dialog->setWindowTitle(DialogTitle("Javascript Prompt - %1", this));
    dialog->setLabelText(msg);
    for (QLabel* label : dialog->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    dialog->setTextValue(defaultValue);
    const bool accepted = RunDialog(dialog) == QDialog::Accepted && dialog;
    if (accepted && result)
        *result = dialog->textValue();
    delete dialog.data();
    return accepted;
}

} // namespace platform::engine::qt
