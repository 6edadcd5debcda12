#include "config/SiteAddress.h"

#include "config/AppConfig.h"
#include "platform/os/TextCodec.h"

std::u16string SiteUrl(AppConfig& config)
{
    XmlDocument& document = config.document;
    std::u16string url;
    document.Rewind();
    if (document.FindChild(u"Site")) {
        document.EnterChild();
        url = document.GetAttribute(document.GetCurrent(), u"url");
    }
    document.Rewind();
    if (url.empty())
        url = platform::os::Utf8ToUtf16(ZANDREL_DEFAULT_SITE_URL);
    while (!url.empty() && url.back() == u'/')
        url.pop_back();
    return url;
}

std::u16string SiteUrl() { return SiteUrl(AppConfig::Instance()); }
