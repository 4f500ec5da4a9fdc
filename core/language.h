#pragma once
// The language the program speaks. Its texts are written in Chinese; an
// English catalogue is compiled in and taken where the user's languages ask
// for English before Chinese. Qt's own texts (dialog buttons) follow.
#include <QLocale>
#include <QTranslator>

#include <memory>

enum class Language { Chinese, English };

// The first of the locale's languages that is English or Chinese decides;
// C, POSIX and every other language keep the Chinese texts.
Language languageFor(const QLocale &locale);

// Installs the catalogues of one language for as long as it lives.
class Translations {
public:
    explicit Translations(Language language);
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

private:
    std::unique_ptr<QTranslator> m_program, m_qt;
};
