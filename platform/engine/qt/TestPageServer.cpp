#include "platform/engine/qt/TestPageServer.h"

#include "platform/engine/CefResource.h"
#include "platform/engine/qt/TestHostNetwork.h"

#include <QCoreApplication>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>
#include <cstdlib>
#include <httplib.h>
#include <iterator>
#include <random>

namespace platform::engine::qt {

namespace {
    // Enough for a navigation and the requests its page makes meanwhile.
    constexpr size_t kKeptNetworkFailures = 16;

    std::string NewSecret()
    {
        std::random_device device;
        std::string secret;
        static const char digits[] = "0123456789abcdef";
        for (int i = 0; i < 32; ++i)
            secret += digits[device() % 16];
        return secret;
    }

    // Pseudo-headers of the server library, not sent by the engine.
    bool IsServerHeader(const std::string& name)
    {
        return name == "LOCAL_ADDR" || name == "LOCAL_PORT" || name == "REMOTE_ADDR" || name == "REMOTE_PORT";
    }

    bool IsTestHost(const QUrl& url)
    {
        return url.scheme() == QLatin1String("http") && url.host() == QLatin1String(kBuiltInTestHost);
    }

    class TestHostInterceptor final : public QWebEngineUrlRequestInterceptor {
    public:
        TestHostInterceptor(QByteArray secret, int browserId, QObject* parent)
            : QWebEngineUrlRequestInterceptor(parent)
            , secret(std::move(secret))
            , browserId(QByteArray::number(browserId))
        {
        }
        void interceptRequest(QWebEngineUrlRequestInfo& info) override
        {
            if (!IsTestHost(info.requestUrl()))
                return;
            info.setHttpHeader(TestPageServer::kSecretHeader, secret);
            info.setHttpHeader(TestPageServer::kBrowserHeader, browserId);
        }

    private:
        QByteArray secret;
        QByteArray browserId;
    };
}

TestPageServer& TestPageServer::Instance()
{
    static TestPageServer instance;
    return instance;
}

TestPageServer::~TestPageServer() { Stop(); }

bool TestPageServer::Start()
{
    if (server)
        return port > 0;
    secret = NewSecret();
    server = std::make_unique<httplib::Server>();
    server->set_keep_alive_max_count(1);
    auto answer
        = [this](const httplib::Request& request, httplib::Response& response) { Answer(request, response); };
    for (const char* pattern : { ".*" }) {
        server->Get(pattern, answer);
        server->Post(pattern, answer);
        server->Put(pattern, answer);
        server->Delete(pattern, answer);
        server->Patch(pattern, answer);
        server->Options(pattern, answer);
    }
    port = server->bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        server.reset();
        port = 0;
        return false;
    }
    thread = std::thread([this] { server->listen_after_bind(); });
    return true;
}

void TestPageServer::Stop()
{
    if (!server)
        return;
    server->stop();
    if (thread.joinable())
        thread.join();
    server.reset();
    std::lock_guard<std::mutex> guard(lock);
    browsers.clear();
    networkFailures.clear();
}

void TestPageServer::Attach(CefRefPtr<CefBrowser> browser)
{
    if (!server || !browser)
        return;
    std::lock_guard<std::mutex> guard(lock);
    browsers[browser->GetIdentifier()] = Attached { browser, browser->GetHost()->GetClient() };
}

void TestPageServer::BeforeNavigation(QWebEnginePage* page, int browserId, const QUrl& url)
{
    if (!server || !page || !IsTestHost(url))
        return;
    // The test host's is the only interceptor a page ever gets.
    if (page->findChild<QWebEngineUrlRequestInterceptor*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    page->setUrlRequestInterceptor(
        new TestHostInterceptor(QByteArray::fromStdString(secret), browserId, page));
}

cef_errorcode_t TestPageServer::TakeNetworkFailure(int browserId, const std::string& url)
{
    std::lock_guard<std::mutex> guard(lock);
    auto it = networkFailures.find(browserId);
    if (it == networkFailures.end())
        return ERR_NONE;
    std::deque<NetworkFailure>& failures = it->second;
    for (auto failure = failures.rbegin(); failure != failures.rend(); ++failure) {
        if (failure->url == url) {
            const cef_errorcode_t error = failure->error;
            failures.erase(std::next(failure).base());
            return error;
        }
    }
    return ERR_NONE;
}

void TestPageServer::Detach(int browserId)
{
    Attached last;
    std::lock_guard<std::mutex> guard(lock);
    networkFailures.erase(browserId);
    auto it = browsers.find(browserId);
    if (it == browsers.end())
        return;
    last = it->second;
    browsers.erase(it);
}

void TestPageServer::Answer(const httplib::Request& request, httplib::Response& response)
{
    response.status = 404;
    if (request.get_header_value(kSecretHeader) != secret || secret.empty())
        return;
    const int browserId = std::atoi(request.get_header_value(kBrowserHeader).c_str());
    Attached target;
    {
        std::lock_guard<std::mutex> guard(lock);
        auto it = browsers.find(browserId);
        if (it != browsers.end())
            target = it->second;
    }
    if (!target.browser)
        return;

    CefRefPtr<CefRequest> engineRequest = CefRequest::Create();
    engineRequest->SetURL("http://" + request.get_header_value("Host") + request.target);
    engineRequest->SetMethod(request.method);
    CefRequest::HeaderMap headers;
    for (const auto& [name, value] : request.headers) {
        if (!IsServerHeader(name) && name != kSecretHeader && name != kBrowserHeader)
            headers.emplace(name, value);
    }
    engineRequest->SetHeaderMap(headers);
    if (!request.body.empty()) {
        CefRefPtr<CefPostData> postData = CefPostData::Create();
        CefRefPtr<CefPostDataElement> element = CefPostDataElement::Create();
        element->SetToBytes(request.body);
        postData->AddElement(element);
        engineRequest->SetPostData(postData);
    }

    CefRefPtr<CefResourceHandler> handler;
    if (auto requestHandler = target.client->GetRequestHandler())
        handler = requestHandler->GetResourceHandler(
            target.browser, target.browser->GetMainFrame(), engineRequest);
    // The browser and its client belong to the GUI thread; their last references must not go here.
    if (auto* application = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            application, [last = std::move(target)] { (void)last; }, Qt::QueuedConnection);
    if (!handler) {
        const cef_errorcode_t failure = FetchFromTestHostNetwork(request, response);
        if (failure != ERR_NONE) {
            std::lock_guard<std::mutex> guard(lock);
            std::deque<NetworkFailure>& failures = networkFailures[browserId];
            failures.push_back(NetworkFailure { engineRequest->GetURL(), failure });
            if (failures.size() > kKeptNetworkFailures)
                failures.pop_front();
            response.status = 502;
        }
        return;
    }
    response.status = handler->GetStatusCode();
    response.set_content(handler->ReadResponse(), handler->GetMimeType().c_str());
}

namespace {
    struct SwitchPlace {
        size_t valueStart = std::string::npos;
        size_t valueEnd = std::string::npos;
        std::string value;
    };

    // Where the switch's value sits in the flags, quoted or not; npos when it is absent.
    SwitchPlace FindSwitch(const std::string& flags, const std::string& name)
    {
        const std::string key = "--" + name + "=";
        SwitchPlace place;
        const size_t at = flags.find(key);
        if (at == std::string::npos)
            return place;
        place.valueStart = at + key.size();
        if (place.valueStart < flags.size() && flags[place.valueStart] == '"') {
            const size_t close = flags.find('"', place.valueStart + 1);
            place.valueEnd = close == std::string::npos ? flags.size() : close + 1;
            place.value = flags.substr(place.valueStart + 1,
                (close == std::string::npos ? flags.size() : close) - place.valueStart - 1);
        } else {
            place.valueEnd = flags.find(' ', place.valueStart);
            if (place.valueEnd == std::string::npos)
                place.valueEnd = flags.size();
            place.value = flags.substr(place.valueStart, place.valueEnd - place.valueStart);
        }
        return place;
    }
}

std::string TestPageServer::SwitchValue(const std::string& flags, const std::string& name)
{
    return FindSwitch(flags, name).value;
}

std::string TestPageServer::MergeSwitch(
    const std::string& flags, const std::string& name, const std::string& addition, char separator)
{
    const SwitchPlace place = FindSwitch(flags, name);
    if (place.valueStart == std::string::npos) {
        std::string merged = flags;
        if (!merged.empty())
            merged += ' ';
        return merged + "--" + name + "=\"" + addition + "\"";
    }
    std::string merged = addition;
    if (!place.value.empty())
        merged += std::string(1, separator) + place.value;
    return flags.substr(0, place.valueStart) + "\"" + merged + "\"" + flags.substr(place.valueEnd);
}

std::string TestPageServer::WithTestHostRules(const std::string& chromiumFlags, int port)
{
    const std::string host = kBuiltInTestHost;
    std::string flags = MergeSwitch(
        chromiumFlags, "host-resolver-rules", "MAP " + host + " 127.0.0.1:" + std::to_string(port), ',');
    // A configured proxy would otherwise get the test host's requests.
    return MergeSwitch(flags, "proxy-bypass-list", host, ';');
}

} // namespace platform::engine::qt
