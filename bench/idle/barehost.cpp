// bench_idle_host: the bare window of bench/idle. It starts as Quelta does (application
// attributes, a frameless QQuickView of the same size) and loads a QML file with Quelta's
// imports and one line of text. A click on the area of Quelta's close button hides it.
#include <QApplication>
#include <QQmlEngine>
#include <QQuickView>

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts, true);
    // QtCharts needs a QApplication, as Quelta has.
    QApplication app(argc, argv);
    QQuickView view;
    view.setFlags(Qt::Window | Qt::FramelessWindowHint);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(QUrl(QStringLiteral("qrc:/bare.qml")));
    if (!view.rootObject())
        return 1;
    view.show();
    return app.exec();
}
