#pragma once

#include <string>

/// Receives page titles per tab; the main frame implements it. Called on the engine's
/// UI thread, so an implementation only copies the title and posts it on.
class TabTitleSink {
public:
    virtual ~TabTitleSink() = default;
    virtual void TitleChanged(int tabId, const std::u16string& title) = 0;
};
