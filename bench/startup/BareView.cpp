// The bare engine for comparison: one web view in a window loading the given address.
// A popup opens as a further window that loads the address on its own, as the program's
// tabs do, so each has its own renderer; with --opener it is handed to the engine instead,
// which keeps it in its opener's renderer. --size W,H sets the window's size; --software
// draws pages without OpenGL, as the program does where OpenGL is a software rasterizer.
#include <QApplication>
#include <QQuickWindow>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineView>

namespace {

bool keepOpener = false;
QSize windowSize(1000, 700);

class BareView : public QWebEngineView {
public:
    BareView()
    {
        resize(windowSize);
        connect(page(), &QWebEnginePage::newWindowRequested, this, [](QWebEngineNewWindowRequest& request) {
            if (keepOpener)
                return;
            auto* view = new BareView;
            view->setAttribute(Qt::WA_DeleteOnClose);
            view->load(request.requestedUrl());
            view->show();
        });
    }

protected:
    // Reached only when the request above was not taken: the popup joins its opener.
    QWebEngineView* createWindow(QWebEnginePage::WebWindowType) override
    {
        if (!keepOpener)
            return nullptr;
        auto* view = new BareView;
        view->setAttribute(Qt::WA_DeleteOnClose);
        view->show();
        return view;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QString address;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--opener") {
            keepOpener = true;
        } else if (argument == "--software") {
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        } else if (argument == "--size" && i + 1 < argc) {
            const QList<QByteArray> size = QByteArray(argv[++i]).split(',');
            if (size.size() == 2)
                windowSize = QSize(size[0].toInt(), size[1].toInt());
        } else {
            address = QString::fromLocal8Bit(argv[i]);
        }
    }
    if (address.isEmpty())
        return 2;
    QApplication application(argc, argv);
    BareView view;
    view.load(QUrl(address));
    view.show();
    return application.exec();
}
