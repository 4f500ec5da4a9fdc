#pragma once
// The texts a window shows, each with the room its control gives it, for the
// tests that read every window in each language.
#include "ui/widgets.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

inline bool hasChinese(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x3000 && c.unicode() <= 0x9FFF)
            return true;
    return false;
}

// One text a control shows, where it shows it, and the room it has there.
struct Caption {
    QString where;
    QString text;
    int needed = 0;    // pixels the text takes, with the control's own margins
    int available = 0; // pixels the control gives it
};

inline QString nameOf(const QWidget *w)
{
    return w->window()->metaObject()->className() + QStringLiteral(".") + w->objectName();
}

inline std::vector<Caption> captionsOf(QWidget *window)
{
    std::vector<Caption> out;
    const auto add = [&](const QWidget *w, const QString &what, const QString &text, int needed, int available) {
        if (!text.isEmpty())
            out.push_back({nameOf(w) + what, text, needed, available});
    };
    add(window, QStringLiteral(" title"), window->windowTitle(), 0, 0);
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const QFontMetrics fm = w->fontMetrics();
        if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            if (qobject_cast<QCheckBox *>(b) || qobject_cast<QRadioButton *>(b))
                add(w, {}, b->text(), captionWidth(b), b->width());
            else // a push button keeps a few pixels of its frame on each side
                add(w, {}, b->text(), fm.horizontalAdvance(b->text()) + 6, b->width());
        } else if (auto *l = qobject_cast<QLabel *>(w)) {
            // A label must end before the window's edge, its own right edge
            // and the next control on its line.
            const int right = l->wordWrap() ? l->x() + l->width() : l->x() + fm.horizontalAdvance(l->text());
            // A label placed with a fixed width shows no more than that.
            int room = std::min(l->parentWidget()->width(), l->x() + l->width());
            for (QWidget *other : l->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (other != l && other->isVisibleTo(window) && other->x() > l->x() &&
                    other->y() < l->y() + fm.height() && other->y() + other->height() > l->y())
                    room = std::min(room, other->x());
            add(w, {}, l->text(), right, room);
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            add(w, QStringLiteral(" title"), g->title(), fm.horizontalAdvance(g->title()) + 16, g->width());
        } else if (auto *c = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < c->count(); ++i) // the arrow takes about 20 pixels
                add(w, QStringLiteral("[%1]").arg(i), c->itemText(i), fm.horizontalAdvance(c->itemText(i)) + 24,
                    c->width());
        } else if (auto *t = qobject_cast<QTreeWidget *>(w)) {
            for (int i = 0; i < t->columnCount(); ++i)
                add(w, QStringLiteral(" column %1").arg(i), t->headerItem()->text(i), 0, 0);
        } else if (auto *e = qobject_cast<QLineEdit *>(w)) {
            add(w, QStringLiteral(" placeholder"), e->placeholderText(), 0, 0);
            if (!qobject_cast<QComboBox *>(e->parentWidget()))
                add(w, QStringLiteral(" text"), e->text(), 0, 0);
        } else if (auto *m = qobject_cast<QPlainTextEdit *>(w)) {
            add(w, QStringLiteral(" text"), m->toPlainText(), 0, 0);
        }
        add(w, QStringLiteral(" tooltip"), w->toolTip(), 0, 0);
    }
    return out;
}

enum class Fit { Measured, NotMeasured };

// Each caption has no Chinese left and, measured, fits its control.
inline void expectEnglish(const std::vector<Caption> &captions, Fit fit = Fit::Measured)
{
    for (const Caption &c : captions) {
        SCOPED_TRACE(c.where.toStdString() + " \"" + c.text.toStdString() + "\"");
        EXPECT_FALSE(hasChinese(c.text));
        if (fit == Fit::Measured) {
            EXPECT_LE(c.needed, c.available);
        }
    }
}
