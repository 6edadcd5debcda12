#include "platform/engine/qt/EngineLocale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWebEngineProfile>
#include <cstdlib>

namespace platform::engine::qt {

namespace {
    QLocale& ChosenLocale()
    {
        static QLocale locale = QLocale::system();
        return locale;
    }

    // Missing files (Debian's qt6-translations-l10n not installed) leave Qt's English texts.
    void InstallTranslator(const QLocale& locale, const QString& catalogue)
    {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(
                locale, catalogue, QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }

    void AppendChromiumFlag(const std::string& flag)
    {
        const char* current = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
        std::string flags = current ? current : "";
        if (flags.find("--lang=") != std::string::npos)
            return;
        setenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags.empty() ? flag : flags + " " + flag).c_str(), 1);
    }
}

void UseLocale(const std::string& localeName)
{
    QLocale locale = localeName.empty() ? QLocale::system() : QLocale(QString::fromStdString(localeName));
    ChosenLocale() = locale;
    // The C locale is Qt's own English: nothing to translate, and the engine keeps its default.
    if (locale.language() == QLocale::C)
        return;
    QLocale::setDefault(locale);
    InstallTranslator(locale, QStringLiteral("qtbase"));
    InstallTranslator(locale, QStringLiteral("qtwebengine"));
    // The engine's own texts come from its locale packs, named "zh-CN" and the like; a switch
    // the caller set already wins.
    AppendChromiumFlag("--lang=" + locale.name().replace(QLatin1Char('_'), QLatin1Char('-')).toStdString());
}

void ApplyAcceptLanguage(QWebEngineProfile* profile)
{
    const QLocale& locale = ChosenLocale();
    if (locale.language() == QLocale::C)
        return;
    QStringList languages;
    for (const QString& language : locale.uiLanguages()) {
        if (!languages.contains(language))
            languages << language;
    }
    profile->setHttpAcceptLanguage(languages.join(QLatin1Char(',')));
}

} // namespace platform::engine::qt
