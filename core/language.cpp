#include "core/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

Language languageFor(const QLocale &locale)
{
    for (const QString &name : locale.uiLanguages()) {
        if (name.startsWith(QLatin1String("en")))
            return Language::English;
        if (name.startsWith(QLatin1String("zh")) || name == QLatin1String("C") || name == QLatin1String("POSIX"))
            return Language::Chinese;
    }
    return Language::Chinese;
}

Translations::Translations(Language language)
{
    const auto install = [](std::unique_ptr<QTranslator> &slot, const QString &file, const QString &dir) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(file, dir) && QCoreApplication::installTranslator(translator.get()))
            slot = std::move(translator);
    };
    const QString qtDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (language == Language::English) {
        install(m_program, QStringLiteral("tavo_en"), QStringLiteral(":/i18n"));
        install(m_qt, QStringLiteral("qtbase_en"), qtDir);
    } else {
        // The program's own texts are Chinese already; Qt's buttons are not.
        install(m_qt, QStringLiteral("qtbase_zh_CN"), qtDir);
    }
}

Translations::~Translations()
{
    for (auto *slot : {&m_program, &m_qt})
        if (*slot)
            QCoreApplication::removeTranslator(slot->get());
}
