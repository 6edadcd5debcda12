#include "platform/ui/MessageBox.h"

#include "platform/ui/Application.h"
#include "platform/ui/qt/WidgetHandles.h"

#include <QMessageBox>

namespace platform::ui {

int MessageBoxW(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type)
{
    EnsureApplication();
    QMessageBox box(qt::WidgetFromHandle(owner));
    box.setWindowTitle(QString::fromStdU16String(caption));
    box.setText(QString::fromStdU16String(text));
    box.setIcon((type & MB_ICONINFORMATION) ? QMessageBox::Information : QMessageBox::NoIcon);
    if ((type & 0xF) == MB_OKCANCEL)
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    else
        box.setStandardButtons(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
}

} // namespace platform::ui
