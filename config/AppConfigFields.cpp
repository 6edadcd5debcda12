#include "config/AppConfigFields.h"

#include "config/AppConfig.h"

const std::vector<AppConfigElement>& AppConfigElements()
{
    static const std::vector<AppConfigElement> elements {
        { u"Channel",
            {
                { u"url", &AppConfig::channelUrl },
                { u"remote", &AppConfig::channelRemote },
                { u"loop", &AppConfig::channelLoop },
                { u"video", &AppConfig::channelVideo },
                { u"audio", &AppConfig::channelAudio },
                { u"appid", &AppConfig::channelAppId },
                { u"sid", &AppConfig::channelSid },
                { u"subsid", &AppConfig::channelSubSid },
                { u"port", &AppConfig::channelPort },
                { u"ip", &AppConfig::channelIp },
            } },
        { u"Update", { { u"url", &AppConfig::updateUrl } } },
        { u"Notify",
            {
                { u"url", &AppConfig::notifyUrl },
                { u"time", &AppConfig::notifyTime },
                { u"powerboot", &AppConfig::powerboot },
                { u"test", &AppConfig::testMode },
                { u"optionexit", &AppConfig::optionexit },
            } },
        { u"Account",
            {
                { u"passwordurl", &AppConfig::accountPasswordUrl },
                { u"regurl", &AppConfig::accountRegUrl },
            } },
    };
    return elements;
}
