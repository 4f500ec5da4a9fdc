#pragma once
// Small helpers for the fixed layouts: every control gets its layout name as
// object name and its place in pixels of the window's client area.
#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

template <class W> W *place(QWidget *parent, const char *name, int x, int y, int w, int h)
{
    auto *widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

inline QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, int x, int y, int w, int h)
{
    auto *b = place<QPushButton>(parent, name, x, y, w, h);
    b->setText(text);
    // Return and Enter press a focused button, as Space does; outside a
    // dialog Qt leaves them to no one.
    b->setAutoDefault(true);
    return b;
}

inline QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int x, int y)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(x, y);
    l->adjustSize();
    return l;
}

inline QLineEdit *makeEdit(QWidget *parent, const char *name, const QString &text, int x, int y, int w, int h)
{
    auto *e = place<QLineEdit>(parent, name, x, y, w, h);
    e->setText(text);
    // A text longer than its field shows from its first character.
    e->setCursorPosition(0);
    return e;
}

inline QCheckBox *makeCheckBox(QWidget *parent, const char *name, const QString &text, int x, int y, int w, int h)
{
    auto *c = place<QCheckBox>(parent, name, x, y, w, h);
    c->setText(text);
    return c;
}

inline QRadioButton *makeRadio(QWidget *parent, const char *name, const QString &text, int x, int y, int w, int h)
{
    auto *r = place<QRadioButton>(parent, name, x, y, w, h);
    r->setText(text);
    return r;
}

// Narrows a check box's font until its caption fits beside the indicator,
// so that no caption runs under the control to its right.
void fitCaption(QAbstractButton *box);
// The pixels a check box or radio button needs for its caption and indicator.
int captionWidth(const QAbstractButton *box);

// Where a window of this outer size goes on a screen area.
QPoint placeOnScreen(const QRect &area, const QSize &outer);

inline QFont songti(int pixelSize, bool bold = false)
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// A label that reacts to a click, like the web-address label.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            emit clicked();
        event->accept();
    }
};
