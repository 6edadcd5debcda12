#pragma once

#include "platform/engine/CefRefCounted.h"
#include "platform/engine/CefTypes.h"

#include <cstdint>
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

/// A download as it stood when the handler was called; a later call brings a fresh item.
class CefDownloadItem : public virtual CefBaseRefCounted {
public:
    virtual std::string GetURL() = 0;
    virtual std::string GetSuggestedFileName() = 0;
    virtual std::string GetMimeType() = 0;
    /// Unique within the process; 0 before the download has been accepted.
    virtual unsigned int GetId() { return 0; }
    virtual bool IsInProgress() { return false; }
    virtual bool IsComplete() { return false; }
    virtual bool IsCanceled() { return false; }
    /// Ended by a failure (network, disk, server), not by the user.
    virtual bool IsInterrupted() { return false; }
    virtual int64_t GetReceivedBytes() { return 0; }
    /// -1 when the server did not say.
    virtual int64_t GetTotalBytes() { return -1; }
    /// Where the file is written (UTF-8); empty before the download has been accepted.
    virtual std::string GetFullPath() { return {}; }
};

/// Controls a running download; callable on the engine's UI thread.
class CefDownloadItemCallback : public virtual CefBaseRefCounted {
public:
    /// Stops the download and removes what it wrote; nothing once it has ended.
    virtual void Cancel() = 0;
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

class CefPermissionPromptCallback : public virtual CefBaseRefCounted {
public:
    /// Answers the prompt; later calls, and calls after the prompt was dismissed, do nothing.
    virtual void Continue(cef_permission_request_result_t result) = 0;
};

class CefScreenSourceCallback : public virtual CefBaseRefCounted {
public:
    /// Shares the source at sourceIndex of those offered, or refuses with -1; later calls, and
    /// calls after the prompt was dismissed, do nothing.
    virtual void Continue(int sourceIndex) = 0;
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
