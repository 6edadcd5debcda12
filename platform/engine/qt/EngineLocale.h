#pragma once

#include <string>

class QWebEngineProfile;

namespace platform::engine::qt {

// The language of Qt's own texts (menus, dialogs) and of the engine: the given locale name
// ("zh_CN"), or the desktop's (LC_ALL, LC_MESSAGES, LANG) when it is empty.
// Before the engine's first profile, after the application object; GUI thread.
void UseLocale(const std::string& localeName);
// What pages are told the user reads, following the same language.
void ApplyAcceptLanguage(QWebEngineProfile* profile);

} // namespace platform::engine::qt
