#include "app/Translation.h"

#include <QCoreApplication>

#include <cstdio>

std::unique_ptr<QTranslator> installTranslator(settings::Language language) {
    if (language == settings::Language::Spanish)
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    // Built into the program: failing here means a broken build, which the operator is told of
    // while the console goes on in Spanish.
    if (!translator->load(QStringLiteral(":/i18n/marlo-consola_en.qm"))) {
        std::fputs("marlo-consola: the English texts could not be loaded; the console stays "
                   "in Spanish\n",
                   stderr);
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}
