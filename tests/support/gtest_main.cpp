// Test main: a Qt application on the offscreen platform around the suite,
// so that window tests and plain tests share one runner.
#include "core/errors.h"
#include "ui/application.h"

#include <QFont>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TavoApplication app(argc, argv);
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("WenQuanYi Zen Hei")});
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
