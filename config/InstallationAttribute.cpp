#include "config/InstallationAttribute.h"

#include "config/XmlDocument.h"

bool ReadInstallationAttribute(
    const std::string& configPath, const char16_t* element, const char16_t* attribute, std::u16string& value)
{
    value.clear();
    XmlDocument installation;
    installation.SetDocText(nullptr);
    if (!installation.LoadFile(configPath))
        return false;
    installation.Rewind();
    if (installation.FindChild(element)) {
        installation.EnterChild();
        value = installation.GetAttribute(installation.GetCurrent(), attribute);
    }
    return true;
}
