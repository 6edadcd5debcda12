#include <map>
#include <memory>
#include <vector>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include "platform/ui/Application.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/Icons.h"
#include "platform/ui/qt/WidgetHandles.h"

namespace platform::ui {

namespace {
    std::map<int, std::unique_ptr<QIcon>>& Icons()
    {
        static std::map<int, std::unique_ptr<QIcon>> icons;
        return icons;
    }
}

HICON LoadProgramIcon(int resourceId)
{
    if (resourceId != 129 && resourceId != 130)
        return nullptr;
    auto& slot = Icons()[resourceId];
    if (!slot) {
        EnsureApplication();
        auto icon = std::make_unique<QIcon>();
        static const std::vector<int> bigSizes { 32, 48, 64, 128 };
        static const std::vector<int> smallSizes { 16, 24, 32 };
        for (int size : resourceId == 129 ? bigSizes : smallSizes)
            icon->addPixmap(qt::DrawProgramIcon(size));
        slot = std::move(icon);
    }
    return reinterpret_cast<HICON>(slot.get());
}

bool SetWindowIcon(HWND hwnd, HICON big, HICON small)
{
    QWidget* widget = qt::WidgetFromHandle(hwnd);
    if (!widget)
        return false;
    QIcon combined;
    for (HICON handle : { small, big }) {
        QIcon icon = qt::IconFromHandle(handle);
        for (QSize size : icon.availableSizes())
            combined.addPixmap(icon.pixmap(size));
    }
    widget->setWindowIcon(combined);
    return true;
}

namespace qt {
    // A rounded tile with a play mark: the program's own icon, drawn at the asked size.
    QPixmap DrawProgramIcon(int size)
    {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, true);
        QRectF tile(size * 0.04, size * 0.04, size * 0.92, size * 0.92);
        QLinearGradient gradient(tile.topLeft(), tile.bottomRight());
        gradient.setColorAt(0, QColor(0xFF, 0x5A, 0x7A));
        gradient.setColorAt(1, QColor(0x7B, 0x3F, 0xE4));
        painter.setPen(Qt::NoPen);
        painter.setBrush(gradient);
        painter.drawRoundedRect(tile, size * 0.22, size * 0.22);
        QPainterPath play;
        play.moveTo(size * 0.40, size * 0.30);
        play.lineTo(size * 0.72, size * 0.50);
        play.lineTo(size * 0.40, size * 0.70);
        play.closeSubpath();
        painter.setBrush(Qt::white);
        painter.drawPath(play);
        return pixmap;
    }

    QIcon IconFromHandle(HICON icon) { return icon ? *reinterpret_cast<QIcon*>(icon) : QIcon(); }
}

} // namespace platform::ui
