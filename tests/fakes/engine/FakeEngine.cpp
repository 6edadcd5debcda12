#include "fakes/engine/FakeEngine.h"

#include <future>

using namespace platform::engine;

FakeBrowser::FakeBrowser(
    int identifier, CefRefPtr<CefClient> client, CefRefPtr<CefRequestContext> context, std::string url)
    : identifier(identifier)
    , client(client)
    , context(context)
    , url(std::move(url))
{
}

CefRefPtr<CefClient> FakeBrowser::GetClient()
{
    std::lock_guard<std::mutex> guard(lock);
    return client;
}

bool FakeBrowser::IsSame(CefRefPtr<CefBrowser> that) { return that && that->GetIdentifier() == identifier; }

platform::ui::HWND FakeBrowser::GetWindowHandle()
{
    std::lock_guard<std::mutex> guard(lock);
    if (windowGone)
        return nullptr;
    return windowHandle ? windowHandle : reinterpret_cast<platform::ui::HWND>(&windowAnchor);
}

bool FakeBrowser::IsClosed()
{
    std::lock_guard<std::mutex> guard(lock);
    return dynamic_cast<platform::engine::CefNullClient*>(client.get()) != nullptr;
}

void FakeBrowser::ReleaseClient()
{
    std::lock_guard<std::mutex> guard(lock);
    client = new platform::engine::CefNullClient;
}

void FakeBrowser::SetWindowHandle(platform::ui::HWND handle)
{
    std::lock_guard<std::mutex> guard(lock);
    windowHandle = handle;
}

void FakeBrowser::SetMouseCursorChangeDisabled(bool disabled)
{
    std::lock_guard<std::mutex> guard(lock);
    mouseCursorChangeDisabled = disabled;
}

bool FakeBrowser::IsMouseCursorChangeDisabled()
{
    std::lock_guard<std::mutex> guard(lock);
    return mouseCursorChangeDisabled;
}

std::string FakeBrowser::GetURL()
{
    std::lock_guard<std::mutex> guard(lock);
    return url;
}

void FakeBrowser::LoadURL(const std::string& address)
{
    Record("load:" + address);
    SetURL(address);
}

void FakeBrowser::LoadString(const std::string& html, const std::string& address)
{
    std::lock_guard<std::mutex> guard(lock);
    strings.emplace_back(html, address);
    url = address;
}

void FakeBrowser::SetURL(const std::string& address)
{
    std::lock_guard<std::mutex> guard(lock);
    url = address;
}

std::vector<std::string> FakeBrowser::Calls()
{
    std::lock_guard<std::mutex> guard(lock);
    return calls;
}

std::vector<std::pair<std::string, std::string>> FakeBrowser::LoadedStrings()
{
    std::lock_guard<std::mutex> guard(lock);
    return strings;
}

void FakeBrowser::Record(const std::string& call)
{
    std::lock_guard<std::mutex> guard(lock);
    calls.push_back(call);
}

FakeEngine::FakeEngine()
    : thread([this] { Loop(); })
{
    SetBackend(this);
}

FakeEngine::~FakeEngine()
{
    SetBackend(nullptr);
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    wake.notify_all();
    thread.join();
}

void FakeEngine::Loop()
{
    for (;;) {
        CefRefPtr<CefTask> task;
        {
            std::unique_lock<std::mutex> guard(lock);
            wake.wait(guard, [this] { return stopping || !tasks.empty(); });
            if (tasks.empty())
                return;
            task = tasks.front();
            tasks.pop_front();
        }
        task->Execute();
    }
}

void FakeEngine::Run(const std::function<void()>& f)
{
    std::promise<void> done;
    PostTask(TID_UI, CefCreateClosureTask([&] {
        f();
        done.set_value();
    }));
    done.get_future().wait();
}

CefRefPtr<FakeBrowser> FakeEngine::OpenBrowser(
    CefRefPtr<CefClient> client, CefRefPtr<CefRequestContext> context, const std::string& url)
{
    CefRefPtr<FakeBrowser> browser;
    {
        std::lock_guard<std::mutex> guard(lock);
        browser = new FakeBrowser(++lastIdentifier, client, context, url);
        created.push_back(browser);
    }
    if (auto handler = client->GetLifeSpanHandler())
        handler->OnAfterCreated(browser);
    return browser;
}

void FakeEngine::CloseBrowser(CefRefPtr<FakeBrowser> browser)
{
    browser->SetWindowGone();
    if (auto handler = browser->GetClient()->GetLifeSpanHandler())
        handler->OnBeforeClose(browser);
    browser->ReleaseClient();
}

bool FakeEngine::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
    const std::string& url, const CefBrowserSettings&, CefRefPtr<CefRequestContext> requestContext)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        requests.push_back(windowInfo);
    }
    if (refuseCreation || !windowInfo.parentWindow)
        return false;
    return PostTask(TID_UI, CefCreateClosureTask([this, client, requestContext, url] {
        OpenBrowser(client, requestContext, url);
    }));
}

bool FakeEngine::PostTask(CefThreadId, CefRefPtr<CefTask> task)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        if (stopping)
            return false;
        tasks.push_back(task);
    }
    wake.notify_all();
    return true;
}

bool FakeEngine::CurrentlyOn(CefThreadId threadId)
{
    return threadId == TID_UI && std::this_thread::get_id() == thread.get_id();
}

std::vector<CefRefPtr<FakeBrowser>> FakeEngine::Created()
{
    std::lock_guard<std::mutex> guard(lock);
    return created;
}

std::vector<CefWindowInfo> FakeEngine::CreationRequests()
{
    std::lock_guard<std::mutex> guard(lock);
    return requests;
}
