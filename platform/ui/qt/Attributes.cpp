#include "platform/ui/qt/Attributes.h"

#include <QString>
#include <QStringList>

#include "platform/ui/ControlUI.h"

namespace platform::ui::qt {

namespace {
    QList<int> Numbers(const CDuiString& text)
    {
        QList<int> values;
        for (const QString& part : QString::fromStdU16String(text).split(',', Qt::KeepEmptyParts))
            values << part.trimmed().toInt();
        return values;
    }
}

int ParseInt(const CDuiString& text) { return QString::fromStdU16String(text).trimmed().toInt(); }

bool ParseBool(const CDuiString& text)
{
    QString value = QString::fromStdU16String(text).trimmed().toLower();
    return value == "true" || value == "1" || value == "yes";
}

RECT ParseRect(const CDuiString& text)
{
    QList<int> v = Numbers(text);
    while (v.size() < 4)
        v << 0;
    return RECT { v[0], v[1], v[2], v[3] };
}

SIZE ParseSize(const CDuiString& text)
{
    QList<int> v = Numbers(text);
    while (v.size() < 2)
        v << 0;
    return SIZE { v[0], v[1] };
}

} // namespace platform::ui::qt

namespace platform::ui {

DWORD ParseColor(const CDuiString& text, bool* ok)
{
    QString value = QString::fromStdU16String(text).trimmed();
    bool parsed = false;
    DWORD color = 0;
    if (value.startsWith('#')) {
        QString hex = value.mid(1);
        color = hex.toUInt(&parsed, 16);
        if (parsed && hex.size() == 6)
            color |= 0xFF000000u;
        parsed = parsed && (hex.size() == 6 || hex.size() == 8);
    } else if (value.startsWith("0x", Qt::CaseInsensitive)) {
        color = value.mid(2).toUInt(&parsed, 16);
    } else {
        color = value.toUInt(&parsed, 10);
    }
    if (ok)
        *ok = parsed;
    return parsed ? color : 0;
}

} // namespace platform::ui
