#include "print/PaperPages.h"

#include "core/AnswerEncoding.h"
#include "paper/QuestionTable.h"

#include <QFont>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <bit>
#include <deque>
#include <memory>

namespace {
// A face with the widths of Arial; glyphs it lacks (Chinese, Japanese, Korean) come from
// the faces the system falls back to.
QFont printFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Line breaks of a field (CR LF or LF) as the layout's own line separator.
QString withLineSeparators(QString text)
{
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(u'\n', QChar::LineSeparator);
    text.replace(u'\r', QChar::LineSeparator);
    return text;
}

// One laid-out line of text at a horizontal offset.
struct LineCell
{
    const QTextLayout *layout;
    int line;
    qreal x;
};

// What sits side by side on one line of the page (a key's columns, or a single text).
struct PageLine
{
    std::vector<LineCell> cells;
    qreal height = 0;
    qreal gapBefore = 0;
};

// Lines that belong together: a question with its options, a header, a key's row.
using Block = std::vector<PageLine>;

struct PlacedLine
{
    PageLine line;
    qreal y;
};

struct Page
{
    std::vector<PlacedLine> lines;
    QString footer; // before "Page n of m"
    int number = 0;
    int count = 0;
};

// Lays blocks out onto pages, keeping each block on one page where it fits on one.
class Composer
{
public:
    Composer(QPaintDevice &device, qreal width, qreal height)
        : device_(device), width_(width), height_(height)
    {
        footerFont_ = printFont(9);
        footerHeight_ = lineHeight(footerFont_) * 2;
    }

    qreal width() const { return width_; }

    // Lays the text out in the width from x; one PageLine per line.
    std::vector<PageLine> text(const QString &text, const QFont &font, qreal x, qreal width)
    {
        QTextLayout *layout = layouts_.emplace_back(std::make_unique<QTextLayout>(
            withLineSeparators(text), font, &device_)).get();
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout->setTextOption(option);
        layout->setCacheEnabled(true);
        layout->beginLayout();
        std::vector<PageLine> lines;
        qreal y = 0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(std::max<qreal>(width, 1));
            line.setPosition(QPointF(0, y));
            y += line.height();
            lines.push_back({{{layout, line.lineNumber(), x}}, line.height(), 0});
        }
        layout->endLayout();
        return lines;
    }

    void startSection(const QString &footer)
    {
        footer_ = footer;
        sectionStart_ = int(pages_.size());
        newPage();
    }

    void add(const Block &block, qreal gapBefore)
    {
        qreal height = 0;
        for (const PageLine &line : block)
            height += line.height + line.gapBefore;
        const qreal room = contentHeight() - y_;
        if (height + gapBefore > room && y_ > 0 && height <= contentHeight())
            newPage();
        bool first = true;
        for (PageLine line : block) {
            const qreal gap = (first && y_ > 0 ? gapBefore : 0) + line.gapBefore;
            first = false;
            if (y_ > 0 && y_ + gap + line.height > contentHeight())
                newPage();
            y_ += y_ > 0 ? gap : 0;
            pages_.back().lines.push_back({line, y_});
            y_ += line.height;
        }
    }

    void finishSection()
    {
        const int count = int(pages_.size()) - sectionStart_;
        for (int i = sectionStart_; i < int(pages_.size()); ++i) {
            pages_[std::size_t(i)].number = i - sectionStart_ + 1;
            pages_[std::size_t(i)].count = count;
        }
    }

    void draw(QPagedPaintDevice &device)
    {
        QPainter painter(&device);
        bool firstPage = true;
        for (const Page &page : pages_) {
            if (!firstPage)
                device.newPage();
            firstPage = false;
            for (const PlacedLine &placed : page.lines) {
                for (const LineCell &cell : placed.line.cells) {
                    const QTextLine line = cell.layout->lineAt(cell.line);
                    line.draw(&painter, QPointF(cell.x, placed.y - line.y()));
                }
            }
            painter.setFont(footerFont_);
            const QString footer = QStringLiteral("%1 \u2014 Page %2 of %3")
                                       .arg(page.footer).arg(page.number).arg(page.count);
            painter.drawText(QRectF(0, height_ - footerHeight_ / 2, width_, footerHeight_ / 2),
                             Qt::AlignRight | Qt::AlignBottom, footer);
        }
    }

    qreal lineHeight(const QFont &font) const { return QFontMetricsF(font, &device_).height(); }

private:
    qreal contentHeight() const { return height_ - footerHeight_; }

    void newPage()
    {
        pages_.push_back({{}, footer_});
        y_ = 0;
    }

    QPaintDevice &device_;
    qreal width_;
    qreal height_;
    QFont footerFont_;
    qreal footerHeight_;
    std::deque<std::unique_ptr<QTextLayout>> layouts_;
    std::vector<Page> pages_;
    QString footer_;
    int sectionStart_ = 0;
    qreal y_ = 0;
};

void append(Block &block, std::vector<PageLine> lines, qreal gapBefore = 0)
{
    if (!lines.empty())
        lines.front().gapBefore += gapBefore;
    block.insert(block.end(), lines.begin(), lines.end());
}

// A text in a column that starts at x: a label (a number, a letter) hangs to its left.
std::vector<PageLine> hanging(Composer &page, const QString &label, const QString &text,
                              const QFont &font, qreal labelX, qreal textX)
{
    std::vector<PageLine> lines = page.text(text.isEmpty() ? QStringLiteral(" ") : text, font,
                                            textX, page.width() - textX);
    const std::vector<PageLine> labelLine = page.text(label, font, labelX, textX - labelX);
    if (!lines.empty() && !labelLine.empty())
        lines.front().cells.push_back(labelLine.front().cells.front());
    return lines;
}

std::int32_t totalMark(const QuestionTable &paper)
{
    std::int32_t total = 0;
    for (const QuestionRow &row : paper.rows())
        total += row.Score;
    return total;
}

QString versionLine(const PaperVersion &version)
{
    return QStringLiteral("Version %1").arg(version.letter);
}

void layOutPaper(Composer &page, const QuestionTable &paper, const QString &name,
                 const PaperVersion &version, bool several)
{
    const QFont body = printFont(11);
    const qreal gap = page.lineHeight(body) * 0.8;
    const qreal numberWidth = page.lineHeight(body) * 2.6;
    const qreal letterWidth = page.lineHeight(body) * 1.8;

    page.startSection(versionLine(version));
    Block header;
    append(header, page.text(name, printFont(16, true), 0, page.width()));
    if (several)
        append(header, page.text(versionLine(version), printFont(13, true), 0, page.width()));
    append(header, page.text(QStringLiteral("%1 questions \u00B7 Total mark %2")
                                 .arg(paper.RecordCount()).arg(totalMark(paper)),
                             body, 0, page.width()), gap / 2);
    page.add(header, 0);

    int number = 1;
    for (const PrintedQuestion &question : version.questions) {
        const QuestionRow &row = paper.row(question.sourceIndex);
        Block block;
        append(block, hanging(page, QStringLiteral("%1.").arg(number++), row.Title,
                              printFont(11, true), 0, numberWidth));
        append(block, page.text(QStringLiteral("Mark: %1    Time limit: %2")
                                    .arg(row.Score).arg(row.TimeLimit),
                                printFont(9.5), numberWidth, page.width() - numberWidth));
        if (std::popcount(unsigned(AnswerTextToMask(row.Answer))) > 1)
            append(block, page.text(QStringLiteral("Choose all that apply."), printFont(9.5, true),
                                    numberWidth, page.width() - numberWidth));
        for (int place = 0; place < int(question.optionOrder.size()); ++place) {
            const QString &option = row.Items[std::size_t(question.optionOrder[std::size_t(place)])];
            append(block, hanging(page, QStringLiteral("%1.").arg(question.printedLetter(place)), option,
                                  body, numberWidth, numberWidth + letterWidth),
                   place == 0 ? gap / 3 : 0);
        }
        page.add(block, gap);
    }
    page.finishSection();
}

void layOutKey(Composer &page, const QuestionTable &paper, const QString &name,
               const PaperVersion &version, bool several)
{
    const QFont body = printFont(11);
    const QFont bold = printFont(11, true);
    const qreal answerX = page.width() * 0.25;
    const qreal markX = page.width() * 0.6;
    const auto row = [&](const QString &question, const QString &answer, const QString &mark,
                         const QFont &font) {
        PageLine line;
        for (const auto &[text, x, width] : {std::tuple{question, qreal(0), answerX},
                                             std::tuple{answer, answerX, markX - answerX},
                                             std::tuple{mark, markX, page.width() - markX}}) {
            std::vector<PageLine> cell = page.text(text, font, x, width);
            line.height = std::max(line.height, cell.front().height);
            line.cells.push_back(cell.front().cells.front());
        }
        return Block{line};
    };

    page.startSection(QStringLiteral("Answer key, ") + versionLine(version));
    Block header;
    append(header, page.text(QStringLiteral("Answer key"), printFont(16, true), 0, page.width()));
    append(header, page.text(several ? QStringLiteral("%1 \u2014 %2").arg(name, versionLine(version)) : name,
                             printFont(13, true), 0, page.width()));
    page.add(header, 0);
    page.add(row(QStringLiteral("Question"), QStringLiteral("Answer"), QStringLiteral("Mark"), bold),
             page.lineHeight(body));
    int number = 1;
    for (const PrintedQuestion &question : version.questions) {
        const QuestionRow &source = paper.row(question.sourceIndex);
        page.add(row(QString::number(number++), question.printedAnswer(source),
                     QString::number(source.Score), body), 0);
    }
    page.add(row(QStringLiteral("Total"), QString(), QString::number(totalMark(paper)), bold),
             page.lineHeight(body) / 2);
    page.finishSection();
}
} // namespace

void SetUpPrintedPage(QPagedPaintDevice &device)
{
    const bool letter = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    device.setPageLayout(QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4),
                                     QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                     QPageLayout::Millimeter));
}

void DrawPrintedPaper(QPagedPaintDevice &device, const QuestionTable &paper,
                      const QString &paperName, const PrintOptions &options)
{
    const std::vector<PaperVersion> versions =
        MakeVersions(paper, options.versions, options.seed, options.shuffle);
    const bool several = versions.size() > 1;
    Composer page(device, device.width(), device.height());
    if (options.part != PrintPart::Key) {
        for (const PaperVersion &version : versions)
            layOutPaper(page, paper, paperName, version, several);
    }
    if (options.part != PrintPart::Paper) {
        for (const PaperVersion &version : versions)
            layOutKey(page, paper, paperName, version, several);
    }
    page.draw(device);
}
