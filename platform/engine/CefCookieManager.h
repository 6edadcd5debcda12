#pragma once

#include "platform/engine/CefRefCounted.h"

#include <string>
#include <vector>

namespace platform::engine {

class CefCompletionCallback : public virtual CefBaseRefCounted {
public:
    virtual void OnComplete() = 0;
};

/// The cookie store that every browser of the process shares. Cookies are kept in
/// memory only; only pages whose scheme is supported may set or read them.
class CefCookieManager : public virtual CefBaseRefCounted {
public:
    /// The process-wide manager (the callback, when given, runs once it is ready).
    static CefRefPtr<CefCookieManager> GetGlobalManager(CefRefPtr<CefCompletionCallback> callback = nullptr);

    /// Replaces the schemes whose pages take part in cookies (by default "http" and "https").
    virtual void SetSupportedSchemes(
        const std::vector<std::string>& schemes, CefRefPtr<CefCompletionCallback> callback)
        = 0;
    virtual std::vector<std::string> GetSupportedSchemes() const = 0;
};

} // namespace platform::engine
