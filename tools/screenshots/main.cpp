// The demo's screenshot tool: Quelta itself, which once its window is up pictures every page in
// every language into the folder named by QUELTA_SCREENSHOTS and quits.
#include "compositionroot.h"
#include "desktopwindow.h"
#include "screenshotwalker.h"
#include "translator.h"

#include <QQuickView>

#include <cstdio>

int main(int argc, char *argv[])
{
    const QString folder = qEnvironmentVariable("QUELTA_SCREENSHOTS");
    if (folder.isEmpty()) {
        std::fprintf(stderr, "quelta-screenshots: set QUELTA_SCREENSHOTS to the folder to fill\n");
        return 2;
    }
    DesktopWindow window([folder](QQuickView *view, CompositionRoot &root) {
        auto *walker = new ScreenshotWalker(view, folder, view);
        Translator *translator = root.translator();
        const QList<QPair<QString, int>> languages = {{QStringLiteral("en"), Translator::EN_GB},
                                                      {QStringLiteral("zh_CN"), Translator::ZH_CN},
                                                      {QStringLiteral("zh_TW"), Translator::ZH_TW},
                                                      {QStringLiteral("fr_FR"), Translator::FR_FR}};
        for (const auto &language : languages) {
            const int number = language.second;
            walker->addLanguage(language.first,
                                [translator, number] { translator->setLanguage(number); });
        }
        // The walk switches languages through the stored choice; the user's comes back after.
        const int chosen = translator->language();
        const bool automatic = translator->autoLanguage();
        walker->setFinished([translator, chosen, automatic] {
            translator->setLanguage(chosen);
            translator->setAutoLanguage(automatic);
            translator->init();
        });
        walker->start();
    });
    return Startup::run(argc, argv, &window);
}
