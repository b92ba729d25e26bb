#include "ui/grid/list_print.h"

#include "db/dataset.h"
#include "gridexport/progress.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <stdexcept>

namespace rek2 {

namespace {

// Margins and gaps in pixels of a 600 dpi page, scaled to the printer's resolution.
constexpr int kLeft = 20, kRight = 20, kTop = 50, kBottom = 200, kGap = 5;

struct Geometry
{
    int left = 0, top = 0, right = 0, bottom = 0, gap = 1, width = 0, height = 0;
    double charWidth = 1;
    int lineHeight = 1;
};

struct Cell
{
    int x;
    int width;
};

Geometry geometryOf(QPrinter& printer, const QFont& font)
{
    Geometry g;
    const double scale = printer.resolution() / 600.0;
    g.left = int(kLeft * scale);
    g.top = int(kTop * scale);
    g.gap = std::max(1, int(kGap * scale));
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    g.width = page.width();
    g.height = page.height();
    g.right = g.width - int(kRight * scale);
    g.bottom = g.height - int(kBottom * scale);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold, &printer);
    g.charWidth = boldMetrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPRSTUWZXY")) / 24.0;
    g.lineHeight = boldMetrics.boundingRect(QStringLiteral("p^{}[]yq$")).height();
    return g;
}

// Column positions, the same on every page: each as wide as its display
// width, cut at the right margin; columns that start beyond it are left out.
QVector<Cell> cellsOf(const Geometry& g, const QVector<GridColumn>& columns)
{
    QVector<Cell> cells;
    int x = g.left;
    for (const GridColumn& c : columns) {
        if (x >= g.right)
            break;
        const int w = std::min(int(c.width * g.charWidth), g.right - x - 3);
        if (w <= 0)
            break;
        cells.push_back({x, w});
        x += w + 3;
    }
    return cells;
}

class ListPage
{
public:
    ListPage(QPrinter& printer, QPainter& painter, const QString& title, const DataSet& ds,
             const QVector<GridColumn>& columns, const QFont& font)
        : printer_(printer), p_(painter), title_(title), ds_(ds), columns_(columns), font_(font)
    {
        const Geometry g = geometryOf(printer, font);
        left_ = g.left;
        top_ = g.top;
        gap_ = g.gap;
        width_ = g.width;
        height_ = g.height;
        right_ = g.right;
        bottom_ = g.bottom;
        lineHeight_ = g.lineHeight;
        bold_ = font;
        bold_.setBold(true);
        italic_ = font;
        italic_.setBold(false);
        italic_.setItalic(true);
        from_ = printer.fromPage() > 0 ? printer.fromPage() : 1;
        to_ = printer.toPage() > 0 ? printer.toPage() : 999999;
        cells_ = cellsOf(g, columns_);
        // Lines and the inset of texts in their cells, in the printer's pixels.
        inset_ = std::max(2, int(g.charWidth / 2));
        p_.setPen(QPen(Qt::black, std::max(1, printer.resolution() / 300)));
    }

    void start()
    {
        page_ = 1;
        y_ = top_;
        pageHeader();
        columnHeader();
    }

    // False once the pages of the range are done.
    bool row(int r)
    {
        const int h = lineHeight_ + gap_ + 1;
        if (y_ + h > bottom_) {
            if (drawing()) {
                p_.setFont(bold_);
                p_.drawText(QRect(left_, y_, right_ - left_, h), Qt::AlignRight | Qt::AlignVCenter,
                            QStringLiteral("> > >"));
            }
            ++page_;
            if (page_ > to_)
                return false;
            y_ = top_;
            pageHeader();
            columnHeader();
        }
        if (drawing()) {
            p_.setFont(bold_);
            for (int i = 0; i < cells_.size(); ++i) {
                const GridColumn& c = columns_[i];
                const QString text =
                    c.def.name == QLatin1String("#") ? QString::number(r + 1) : ds_.DisplayText(r, c.field);
                const QRect cell(cells_[i].x, y_, cells_[i].width, h);
                p_.drawText(cell.adjusted(inset_, 0, -inset_, 0),
                            (c.rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter |
                                Qt::TextSingleLine,
                            text);
                p_.drawLine(cell.right() + 2, y_, cell.right() + 2, y_ + h);
            }
            p_.drawLine(left_ - 1, y_, left_ - 1, y_ + h);
            p_.drawLine(left_ - 1, y_ + h, lastColumnEnd(), y_ + h);
        }
        y_ += h;
        return true;
    }

    bool anyPageDrawn() const { return pagesDrawn_ > 0; }
    int columnCount() const { return int(cells_.size()); }

private:
    bool drawing() const { return page_ >= from_ && page_ <= to_; }
    int lastColumnEnd() const { return cells_.isEmpty() ? left_ : cells_.back().x + cells_.back().width + 2; }

    void pageHeader()
    {
        if (drawing()) {
            // The first page of the range is the printer's current page.
            if (pagesDrawn_ > 0 && !printer_.newPage())
                throw std::runtime_error("printer");
            ++pagesDrawn_;
        }
        const QDateTime now = QDateTime::currentDateTime();
        const QString header = QStringLiteral(" ") + now.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
                               QStringLiteral(", Stran ") + QString::number(page_);
        const QFontMetrics im(italic_, &printer_);
        const int hh = im.height();
        if (drawing()) {
            p_.setFont(italic_);
            p_.drawText(QRect(left_, y_, right_ - left_, hh), Qt::AlignRight | Qt::AlignVCenter, header);
        }
        y_ += hh + gap_;
        QFont titleFont = bold_;
        titleFont.setItalic(false);
        titleFont.setPointSize(std::max(1, int(font_.pointSizeF() * 1.5)));
        const QFontMetrics tm(titleFont, &printer_);
        const QRect bound =
            tm.boundingRect(QRect(left_, y_, right_ - left_, height_), Qt::TextWordWrap, title_);
        if (drawing()) {
            p_.setFont(titleFont);
            p_.drawText(QRect(left_, y_, right_ - left_, bound.height()), Qt::TextWordWrap | Qt::AlignLeft,
                        title_);
        }
        y_ += bound.height() + gap_;
    }

    void columnHeader()
    {
        const QFontMetrics im(italic_, &printer_);
        int h = im.height();
        QVector<QRect> labels;
        for (int i = 0; i < cells_.size(); ++i) {
            const QRect b =
                im.boundingRect(QRect(0, 0, cells_[i].width, height_), Qt::TextWordWrap, columns_[i].label());
            h = std::max(h, b.height());
        }
        if (drawing()) {
            p_.setFont(italic_);
            for (int i = 0; i < cells_.size(); ++i) {
                const QRect cell(cells_[i].x, y_, cells_[i].width, h);
                p_.drawText(cell.adjusted(inset_, 0, -inset_, 0),
                            (columns_[i].rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignBottom |
                                Qt::TextWordWrap,
                            columns_[i].label());
                p_.drawLine(cell.right() + 2, y_, cell.right() + 2, y_ + h);
            }
            p_.drawLine(left_ - 1, y_, lastColumnEnd(), y_);
            p_.drawLine(left_ - 1, y_, left_ - 1, y_ + h);
            p_.drawLine(left_ - 1, y_ + h, lastColumnEnd(), y_ + h);
        }
        y_ += h + 1;
    }

    QPrinter& printer_;
    QPainter& p_;
    QString title_;
    const DataSet& ds_;
    const QVector<GridColumn>& columns_;
    QFont font_, bold_, italic_;
    QVector<Cell> cells_;
    int lineHeight_ = 1;
    int inset_ = 2;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0, gap_ = 1, width_ = 0, height_ = 0;
    int page_ = 1, y_ = 0, from_ = 1, to_ = 999999, pagesDrawn_ = 0;
};

} // namespace

bool printList(QPrinter& printer, const QString& title, const DataSet& ds, const QVector<GridColumn>& columns,
               const QFont& font, Progress* progress)
{
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QCoreApplication::applicationFilePath() + QStringLiteral(" : "));
    const int rows = ds.Active() ? ds.RecordCount() : 0;
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("Tiskalnika ni mogoče odpreti.");
    try {
        ProgressScope scope(progress, QStringLiteral("Print"), rows);
        ListPage page(printer, painter, title, ds, columns, font);
        page.start();
        for (int r = 0; r < rows; ++r) {
            if (!page.row(r))
                break;
            scope.step();
        }
    } catch (const OperationCancelled&) {
        printer.abort();
        painter.end();
        return false;
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    painter.end();
    return true;
}

int columnsThatFit(QPrinter& printer, const QVector<GridColumn>& columns, const QFont& font)
{
    return int(cellsOf(geometryOf(printer, font), columns).size());
}

bool printListWithDialog(QWidget* parent, const QString& title, const DataSet& ds,
                         const QVector<GridColumn>& columns, const QFont& font, Progress* progress)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, 999);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return printList(printer, title, ds, columns, font, progress);
}

} // namespace rek2
