#include "platform/ui/RenderEngine.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>

#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

namespace {
    QPainter* Painter(HDC hdc) { return reinterpret_cast<QPainter*>(hdc); }

    int QtFlags(UINT style)
    {
        int flags = 0;
        flags |= (style & DT_CENTER) ? Qt::AlignHCenter : (style & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
        flags |= (style & DT_VCENTER) ? Qt::AlignVCenter
            : (style & DT_BOTTOM)     ? Qt::AlignBottom
                                      : Qt::AlignTop;
        if (style & DT_WORDBREAK)
            flags |= Qt::TextWrapAnywhere;
        else
            flags |= Qt::TextSingleLine;
        return flags;
    }

    // Word wrap first; CJK text has no spaces, so fall back to breaking anywhere.
    int WrapFlags(const QString& text)
    {
        return text.contains(' ') ? Qt::TextWordWrap : Qt::TextWrapAnywhere;
    }

    // "dest='l,t,r,b'" places the image inside the control's rectangle instead of filling it.
    QRect ImageTarget(const CDuiString& file, const QRect& rc)
    {
        static const QRegularExpression dest(
            "dest='\\s*(-?\\d+)\\s*,\\s*(-?\\d+)\\s*,\\s*(-?\\d+)\\s*,\\s*(-?\\d+)\\s*'");
        auto match = dest.match(QString::fromStdU16String(file));
        if (!match.hasMatch())
            return rc;
        int l = match.captured(1).toInt(), t = match.captured(2).toInt();
        int r = match.captured(3).toInt(), b = match.captured(4).toInt();
        return QRect(rc.left() + l, rc.top() + t, r - l, b - t);
    }

    QString ImagePath(const CDuiString& file)
    {
        QString path = QString::fromStdU16String(file);
        // Accept the "file='x.png'" form as well as a bare name.
        static const QRegularExpression quoted("file='([^']*)'");
        if (auto match = quoted.match(path); match.hasMatch())
            path = match.captured(1);
        path.replace('\\', '/');
        if (!path.startsWith('/'))
            path = QString::fromStdU16String(CPaintManagerUI::GetResourcePath()) + path;
        return path;
    }
}

SIZE CRenderEngine::GetTextSize(CPaintManagerUI* manager, const CDuiString& text, int font)
{
    QFontMetrics metrics(qt::MakeFont(manager, font));
    QString value = QString::fromStdU16String(text);
    return SIZE { metrics.horizontalAdvance(value), metrics.height() };
}

SIZE CRenderEngine::GetTextSize(HDC, CPaintManagerUI* manager, const CDuiString& text, int font, UINT)
{
    return GetTextSize(manager, text, font);
}

SIZE CRenderEngine::GetWrappedTextSize(CPaintManagerUI* manager, const CDuiString& text, int font, int width)
{
    QFontMetrics metrics(qt::MakeFont(manager, font));
    QString value = QString::fromStdU16String(text);
    QRect bounds = metrics.boundingRect(QRect(0, 0, std::max(width, 1), 100000), WrapFlags(value), value);
    return SIZE { bounds.width(), std::max(bounds.height(), metrics.height()) };
}

void CRenderEngine::DrawTextW(
    HDC hdc, CPaintManagerUI* manager, RECT& rc, const CDuiString& text, DWORD color, int font, UINT style)
{
    QString value = QString::fromStdU16String(text);
    QFont qfont = qt::MakeFont(manager, font);
    int flags = QtFlags(style);
    if (style & DT_WORDBREAK)
        flags = (flags & ~Qt::TextWrapAnywhere) | WrapFlags(value);
    if (style & DT_CALCRECT) {
        QFontMetrics metrics(qfont);
        QRect bounds = metrics.boundingRect(qt::ToQRect(rc), flags, value);
        rc.right = rc.left + bounds.width();
        rc.bottom = rc.top + bounds.height();
        return;
    }
    QPainter* painter = Painter(hdc);
    if (!painter)
        return;
    painter->save();
    painter->setFont(qfont);
    painter->setPen(qt::ToQColor(color));
    QRect target = qt::ToQRect(rc);
    if ((style & DT_END_ELLIPSIS) && (style & DT_SINGLELINE || !(style & DT_WORDBREAK)))
        value = QFontMetrics(qfont).elidedText(value, Qt::ElideRight, target.width());
    painter->drawText(target, flags, value);
    painter->restore();
}

void CRenderEngine::DrawHtmlText(
    HDC hdc, CPaintManagerUI* manager, RECT& rc, const CDuiString& text, DWORD color, int font, UINT style)
{
    static const QRegularExpression tags("<[^>]*>");
    QString plain = QString::fromStdU16String(text).remove(tags);
    DrawTextW(hdc, manager, rc, plain.toStdU16String(), color, font, style);
}

void CRenderEngine::DrawColor(HDC hdc, const RECT& rc, DWORD color)
{
    if (QPainter* painter = Painter(hdc))
        painter->fillRect(qt::ToQRect(rc), qt::ToQColor(color));
}

void CRenderEngine::DrawRect(HDC hdc, const RECT& rc, int size, DWORD color)
{
    QPainter* painter = Painter(hdc);
    if (!painter || size <= 0)
        return;
    painter->save();
    QPen pen(qt::ToQColor(color));
    pen.setWidth(size);
    pen.setJoinStyle(Qt::MiterJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    QRectF box = QRectF(qt::ToQRect(rc)).adjusted(size / 2.0, size / 2.0, -size / 2.0, -size / 2.0);
    painter->drawRect(box);
    painter->restore();
}

bool CRenderEngine::DrawImage(HDC hdc, CPaintManagerUI*, const RECT& rc, const CDuiString& file)
{
    static QHash<QString, QPixmap> cache;
    QString path = ImagePath(file);
    auto it = cache.find(path);
    if (it == cache.end())
        it = cache.insert(path, QPixmap(path));
    if (it->isNull())
        return false;
    if (QPainter* painter = Painter(hdc)) {
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter->drawPixmap(ImageTarget(file, qt::ToQRect(rc)), *it);
        painter->restore();
    }
    return true;
}

} // namespace platform::ui
