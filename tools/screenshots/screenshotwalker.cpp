#include "screenshotwalker.h"

#include "logcategories.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QQuickItem>
#include <QQuickView>
#include <QTimer>
#include <functional>

namespace {
// Long enough for images to decode, lists to fill and transitions to settle.
constexpr int defaultSettleMs = 450;

QString slug(const QString &name)
{
    QString out;
    for (const QChar c : name) {
        if (c.isUpper() && !out.isEmpty())
            out += QLatin1Char('-');
        out += c.toLower();
    }
    return out;
}

QList<QQuickItem *> itemsUnder(QQuickItem *root)
{
    QList<QQuickItem *> out;
    const QList<QQuickItem *> children = root->childItems();
    for (QQuickItem *child : children) {
        out.append(child);
        out.append(itemsUnder(child));
    }
    return out;
}
} // namespace

struct ScreenshotStep
{
    std::function<void()> run;
    int delayAfter = 0;
};

class ScreenshotWalkerPrivate
{
public:
    QQuickView *view = nullptr;
    QDir folder;
    QString subfolder; // the language being shot
    QList<QPair<QString, std::function<void()>>> languages;
    QList<ScreenshotStep> steps;
    std::function<void()> finished;
    int next = 0;
    int shots = 0;
    int settleMs = defaultSettleMs;
    int linkWaits = 20; // a UPS on the line gets a few polls to show up before the first shot
    bool failed = false;

    void set(QObject *object, const char *property, const QVariant &value)
    {
        steps.append(
            {[object, property, value] { object->setProperty(property, value); }, settleMs});
    }
    void call(QObject *object, const char *method)
    {
        steps.append({[object, method] { QMetaObject::invokeMethod(object, method); }, settleMs});
    }
    void shoot(const QString &name)
    {
        const QString where = subfolder;
        steps.append(
            {[this, name, where] {
                 const QImage image = view->grabWindow();
                 const QString file = folder.filePath(
                     where +
                     QStringLiteral("/%1-%2.png").arg(++shots, 2, 10, QLatin1Char('0')).arg(name));
                 if (image.isNull() || !folder.mkpath(where) || !image.save(file)) {
                     qCWarning(lcInterface) << "Screenshots: cannot write" << file << image.size();
                     failed = true;
                 }
             },
             0});
    }
    void planPage(QQuickItem *root, QQuickItem *page, int tab, const QString &pageName);
    static void reveal(QQuickItem *popup, const QList<QQuickItem *> &selectors);
    void planWindow(QQuickItem *root, QQuickItem *panel);
};

void ScreenshotWalkerPrivate::planPage(QQuickItem *root, QQuickItem *page, int tab,
                                       const QString &pageName)
{
    set(root, "currentTab", tab);
    QList<QQuickItem *> selectors;
    const QList<QQuickItem *> items = page ? itemsUnder(page) : QList<QQuickItem *>();
    for (QQuickItem *item : items) {
        const QString name = item->objectName();
        if (!(name.endsWith(QLatin1String("Tabs")) || name.endsWith(QLatin1String("SubPages"))) ||
            !item->property("count").isValid() || !item->property("currentIndex").isValid())
            continue;
        selectors.append(item);
        const int count = item->property("count").toInt();
        for (int i = 0; i < count; ++i) {
            set(item, "currentIndex", i);
            shoot(pageName + QLatin1Char('-') + QString::number(i + 1));
        }
        set(item, "currentIndex", 0);
    }
    if (selectors.isEmpty())
        shoot(pageName);
    for (QQuickItem *item : items) {
        const QString name = item->objectName();
        if (!name.startsWith(QLatin1String("popup")) && !name.startsWith(QLatin1String("dialog")))
            continue;
        steps.append({[item, selectors] {
                          reveal(item, selectors);
                          QMetaObject::invokeMethod(item, "open");
                      },
                      settleMs});
        shoot(pageName + QLatin1Char('-') + slug(name));
        call(item, "close");
        for (QQuickItem *selector : qAsConst(selectors))
            set(selector, "currentIndex", 0);
    }
}

// A pop-up of a sub-page shows only while its sub-page is chosen: pick the first entry of each
// side list or tab bar that makes the pop-up's place visible.
void ScreenshotWalkerPrivate::reveal(QQuickItem *popup, const QList<QQuickItem *> &selectors)
{
    QQuickItem *place = popup->parentItem();
    for (QQuickItem *selector : selectors) {
        const int count = selector->property("count").toInt();
        for (int i = 0; i < count && place && !place->isVisible(); ++i)
            selector->setProperty("currentIndex", i);
    }
}

ScreenshotWalker::ScreenshotWalker(QQuickView *view, const QString &folder, QObject *parent)
    : QObject(parent), d(new ScreenshotWalkerPrivate)
{
    d->view = view;
    d->folder = QDir(folder);
}

ScreenshotWalker::~ScreenshotWalker() = default;

void ScreenshotWalker::start()
{
    QQuickItem *root = d->view->rootObject();
    QQuickItem *panel = root ? root->findChild<QQuickItem *>(QStringLiteral("mainPanel")) : nullptr;
    if (!panel || !d->folder.mkpath(QStringLiteral("."))) {
        qCCritical(lcInterface) << "Screenshots: no window or no folder" << d->folder.path();
        QCoreApplication::exit(1);
        return;
    }

    if (d->languages.isEmpty())
        d->languages.append({QStringLiteral("."), [] {
                             }});
    for (const auto &language : qAsConst(d->languages)) {
        d->subfolder = language.first;
        const auto apply = language.second;
        d->steps.append({[this, apply] {
                             apply();
                             d->shots = 0;
                         },
                         d->settleMs});
        d->planWindow(root, panel);
    }
    QTimer::singleShot(d->settleMs, this, &ScreenshotWalker::onStep);
}

void ScreenshotWalker::setFinished(const std::function<void()> &finished)
{
    d->finished = finished;
}

void ScreenshotWalker::setPace(int settleMs, int linkWaits)
{
    d->settleMs = settleMs;
    d->linkWaits = linkWaits;
}

void ScreenshotWalker::addLanguage(const QString &name, const std::function<void()> &apply)
{
    d->languages.append({name, apply});
}

void ScreenshotWalkerPrivate::planWindow(QQuickItem *root, QQuickItem *panel)
{
    const QStringList pages = {QStringLiteral("device"), QStringLiteral("schedule-task"),
                               QStringLiteral("control"), QStringLiteral("settings"),
                               QStringLiteral("history")};
    for (int tab = 0; tab < pages.size(); ++tab) {
        QVariant page;
        QMetaObject::invokeMethod(panel, "getTab", Q_RETURN_ARG(QVariant, page),
                                  Q_ARG(QVariant, tab));
        // A page is made when first shown; the walk plans its steps from every page's items.
        if (QObject *loader = page.value<QObject *>())
            loader->setProperty("active", true);
        planPage(root, page.value<QQuickItem *>(), tab, pages.at(tab));
    }
    // The window's own pop-ups.
    set(root, "currentTab", 0);
    for (QObject *popup : {root->property("alarmPopup").value<QObject *>(),
                           root->property("shutdownDialog").value<QObject *>()}) {
        if (!popup)
            continue;
        call(popup, "open");
        shoot(slug(popup->objectName()));
        call(popup, "close");
    }
}

void ScreenshotWalker::onStep()
{
    if (d->linkWaits > 0 && !d->view->rootObject()->property("devOnline").toBool()) {
        --d->linkWaits;
        QTimer::singleShot(d->settleMs, this, &ScreenshotWalker::onStep);
        return;
    }
    d->linkWaits = 0;
    if (d->next < d->steps.size()) {
        const ScreenshotStep &step = d->steps.at(d->next++);
        step.run();
        QTimer::singleShot(step.delayAfter, this, &ScreenshotWalker::onStep);
        return;
    }
    if (d->finished)
        d->finished();
    qCInfo(lcInterface) << "Screenshots written to" << d->folder.path();
    QCoreApplication::exit(d->failed ? 1 : 0);
}
