#pragma once

#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefProcessMessage.h"
#include "platform/engine/CefRefCounted.h"

#include <string>

namespace platform::engine {

/// A function a page can call; runs on the render thread.
class CefV8Handler : public virtual CefBaseRefCounted {
public:
    /// True when the call was taken.
    virtual bool Execute(const std::string& name, CefRefPtr<CefListValue> arguments) = 0;
};

/// The script context of one frame's document.
class CefV8Context : public virtual CefBaseRefCounted {
public:
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    virtual CefRefPtr<CefFrame> GetFrame() = 0;
    /// Unique among the contexts of the process.
    virtual int GetIdentifier() = 0;
    virtual bool IsSame(CefRefPtr<CefV8Context> that)
    {
        return that && that->GetIdentifier() == GetIdentifier();
    }
    /// Makes the page's function name call handler.
    virtual void SetFunctionHandler(const std::string& name, CefRefPtr<CefV8Handler> handler) = 0;
    /// Answers the page's pending query requestId: success with response, or
    /// failure with errorCode and response as its message.
    virtual void AnswerQuery(int requestId, bool success, int errorCode, const std::string& response) = 0;
};

class CefV8Exception : public virtual CefBaseRefCounted {
public:
    virtual std::string GetMessage() = 0;
    virtual int GetLineNumber() = 0;
};

class CefV8StackTrace : public virtual CefBaseRefCounted {
public:
    virtual int GetFrameCount() = 0;
};

/// An element of a page's document.
class CefDOMNode : public virtual CefBaseRefCounted {
public:
    /// True for an element that takes text input.
    virtual bool IsEditable() = 0;
};

enum cef_navigation_type_t {
    NAVIGATION_LINK_CLICKED,
    NAVIGATION_FORM_SUBMITTED,
    NAVIGATION_BACK_FORWARD,
    NAVIGATION_RELOAD,
    NAVIGATION_FORM_RESUBMITTED,
    NAVIGATION_OTHER,
};

} // namespace platform::engine
