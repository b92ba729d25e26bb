#include "ui/grid/grid_buttons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace rek2 {

namespace {

// Small 15 x 15 pictures for the tool buttons, drawn in code so they scale
// with nothing and need no files.
using Draw = void (*)(QPainter&);

const QColor kInk(40, 40, 40);
const QColor kBlue(30, 80, 170);
const QColor kGreen(40, 130, 60);
const QColor kRed(180, 40, 40);
const QColor kPaper(250, 250, 240);

void page(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void lines(QPainter& p, double x0, double x1, double y0, int count, double gap)
{
    p.setPen(QPen(kBlue, 1));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(x0, y0 + i * gap), QPointF(x1, y0 + i * gap));
}

void zoom(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(200, 225, 255));
    p.drawEllipse(QRectF(1.5, 1.5, 8, 8));
    p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 9), QPointF(13.5, 13.5));
}

void view(QPainter& p)
{
    // Columns, one of them highlighted: choose the shown columns.
    page(p, QRectF(0.5, 1.5, 14, 12));
    p.fillRect(QRectF(5, 2, 4.5, 11), QColor(255, 220, 120));
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(5, 2), QPointF(5, 13));
    p.drawLine(QPointF(9.5, 2), QPointF(9.5, 13));
    p.drawLine(QPointF(1, 5), QPointF(14, 5));
}

void printer(QPainter& p)
{
    page(p, QRectF(3.5, 0.5, 8, 6));
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(0.5, 6.5, 14, 5));
    page(p, QRectF(3.5, 10.5, 8, 4));
    p.fillRect(QRectF(11.5, 8, 2, 1.5), kGreen);
}

void printGroup(QPainter& p)
{
    printer(p);
    p.setPen(QPen(kRed, 1.5));
    p.drawText(QRectF(3, -1, 9, 8), Qt::AlignCenter, QStringLiteral("Σ"));
}

void locate(QPainter& p)
{
    page(p, QRectF(0.5, 0.5, 9, 12));
    lines(p, 2, 8, 3, 4, 2.5);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(200, 225, 255, 200));
    p.drawEllipse(QRectF(6, 6, 6, 6));
    p.drawLine(QPointF(11.5, 11.5), QPointF(14, 14));
}

void refresh(QPainter& p)
{
    p.setPen(QPen(kGreen, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2, 2, 11, 11), 30 * 16, 290 * 16);
    QPainterPath head;
    head.moveTo(13.5, 1);
    head.lineTo(13.5, 6.5);
    head.lineTo(8.5, 5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPath(head);
}

void sort(QPainter& p)
{
    QFont f = p.font();
    f.setPixelSize(7);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRectF(0, 0, 8, 7), Qt::AlignCenter, QStringLiteral("A"));
    p.drawText(QRectF(0, 7, 8, 8), Qt::AlignCenter, QStringLiteral("Z"));
    p.setPen(QPen(kBlue, 1.5));
    p.drawLine(QPointF(11, 1), QPointF(11, 13));
    QPainterPath head;
    head.moveTo(8, 10);
    head.lineTo(14, 10);
    head.lineTo(11, 14);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPath(head);
}

void titleWordWrap(QPainter& p)
{
    // A title cell whose text runs onto a second line.
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(225, 225, 225));
    p.drawRect(QRectF(0.5, 1.5, 14, 11));
    p.setPen(QPen(kBlue, 1.5));
    p.drawLine(QPointF(2, 5), QPointF(12, 5));
    p.drawLine(QPointF(2, 9), QPointF(8, 9));
    p.setPen(QPen(kRed, 1));
    p.drawLine(QPointF(12, 5), QPointF(12, 8));
    p.drawLine(QPointF(12, 8), QPointF(9.5, 8));
}

void bar(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(0.5, 0), QPointF(0.5, 14.5));
    p.drawLine(QPointF(0.5, 14.5), QPointF(15, 14.5));
    p.fillRect(QRectF(2, 8, 3, 6), kBlue);
    p.fillRect(QRectF(6, 3, 3, 11), kRed);
    p.fillRect(QRectF(10, 6, 3, 8), kGreen);
}

void copyToClip(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(190, 140, 80));
    p.drawRect(QRectF(1.5, 1.5, 10, 13));
    page(p, QRectF(3.5, 3.5, 6, 9));
    p.fillRect(QRectF(4.5, 0.5, 4, 2.5), QColor(150, 150, 150));
    page(p, QRectF(8.5, 6.5, 6, 8));
    lines(p, 9.5, 13.5, 9, 3, 2);
}

void exportTable(QPainter& p)
{
    page(p, QRectF(0.5, 0.5, 9, 13));
    lines(p, 2, 8, 3, 4, 2.5);
    p.setPen(QPen(kGreen, 2));
    p.drawLine(QPointF(7, 10), QPointF(13, 10));
    QPainterPath head;
    head.moveTo(11, 7);
    head.lineTo(15, 10);
    head.lineTo(11, 13);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPath(head);
}

void generic(QPainter& p)
{
    page(p, QRectF(1.5, 1.5, 12, 12));
}

const QHash<QString, Draw>& drawings()
{
    static const QHash<QString, Draw> d{
        {QStringLiteral("MSB_ZOOM"), zoom},
        {QStringLiteral("MSB_VIEW"), view},
        {QStringLiteral("MSB_PRINT"), printer},
        {QStringLiteral("MSB_PRINT1"), printer},
        {QStringLiteral("MSB_PRINTGROUP"), printGroup},
        {QStringLiteral("MSB_LOCATE"), locate},
        {QStringLiteral("MSB_REFRESH"), refresh},
        {QStringLiteral("MSB_SORT"), sort},
        {QStringLiteral("MSB_TITLEWORDWRAP"), titleWordWrap},
        {QStringLiteral("MSB_BAR"), bar},
        {QStringLiteral("MSB_COPYTOCLIP"), copyToClip},
        {QStringLiteral("MSB_EXPORT"), exportTable},
    };
    return d;
}

} // namespace

QPixmap GridButtons::bitmap(const QString& name)
{
    static QHash<QString, QPixmap> cache;
    auto it = cache.find(name);
    if (it != cache.end())
        return *it;
    QPixmap pm(15, 15);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        drawings().value(name, generic)(p);
    }
    return *cache.insert(name, pm);
}

} // namespace rek2
