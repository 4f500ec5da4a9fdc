#include "ui/widgets.h"

#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

int captionWidth(const QAbstractButton *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QSize text = box->fontMetrics().size(Qt::TextShowMnemonic, box->text());
    const bool radio = qobject_cast<const QRadioButton *>(box) != nullptr;
    return box->style()->sizeFromContents(radio ? QStyle::CT_RadioButton : QStyle::CT_CheckBox, &option, text, box)
        .width();
}

void fitCaption(QAbstractButton *box)
{
    QFont font = box->font();
    while (captionWidth(box) > box->width() && font.pixelSize() > 9) {
        font.setPixelSize(font.pixelSize() - 1);
        box->setFont(font);
    }
}

QPoint placeOnScreen(const QRect &area, const QSize &outer)
{
    // Centred where it fits; where the screen is smaller than the window (a
    // scale factor of 2 on a small screen), its top left corner stays on it
    // so that the title bar can still be reached.
    QPoint p = area.center() - QPoint(outer.width() / 2, outer.height() / 2);
    p.setX(std::max(area.left(), std::min(p.x(), area.right() + 1 - outer.width())));
    p.setY(std::max(area.top(), std::min(p.y(), area.bottom() + 1 - outer.height())));
    return p;
}
