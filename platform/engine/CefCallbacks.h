#pragma once

#include "platform/engine/CefRefCounted.h"

#include <string>

namespace platform::engine {

// Callbacks the engine hands to a handler with a question; the handler answers
// through them, at once or later on the same thread.

class CefBeforeDownloadCallback : public virtual CefBaseRefCounted {
public:
    /// Goes on with the download to downloadPath (empty: the engine's proposal),
    /// asking the user for the location first when showDialog is true.
    virtual void Continue(const std::string& downloadPath, bool showDialog) = 0;
};

class CefDownloadItem : public virtual CefBaseRefCounted {
public:
    virtual std::string GetURL() = 0;
    virtual std::string GetSuggestedFileName() = 0;
    virtual std::string GetMimeType() = 0;
};

class CefQuotaCallback : public virtual CefBaseRefCounted {
public:
    virtual void Continue(bool allow) = 0;
    virtual void Cancel() = 0;
};

class CefGeolocationCallback : public virtual CefBaseRefCounted {
public:
    virtual void Continue(bool allow) = 0;
};

class CefAuthCallback : public virtual CefBaseRefCounted {
public:
    virtual void Continue(const std::string& username, const std::string& password) = 0;
    virtual void Cancel() = 0;
};

class CefAllowCertificateErrorCallback : public virtual CefBaseRefCounted {
public:
    virtual void Continue(bool allow) = 0;
};

/// What a drag entering a browser carries.
class CefDragData : public virtual CefBaseRefCounted {
public:
    virtual bool IsLink() = 0;
    virtual std::string GetLinkURL() = 0;
};

} // namespace platform::engine
