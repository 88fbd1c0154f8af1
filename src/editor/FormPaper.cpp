#include "editor/FormPaper.h"

#include "widgets/DataNavigator.h"
#include "widgets/ModalSeam.h"
#include "widgets/PictureButton.h"
#include "widgets/QuestionGridModel.h"
#include "paper/QuestionTable.h"
#include "core/PaperColumns.h"
#include "widgets/DesignMetrics.h"
#include "editor/ToolbarCommands.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QTextCursor>
#include <cmath>

namespace {
const std::array<const char *, FormPaper::ToolbarButtonCount> ToolbarWords = {
    "NEW", "OPEN", "IMPORT", "EXPORT", "SAVE", "ADD", "DEL", "UP", "DOWN", "EXIT", "HELP"};
const std::array<const char *, FormPaper::ToolbarButtonCount> DesignToolTips = {
    "New Test Paper", "Open Test Paper", "Import Test Paper", "Export Test Paper",
    "Save Test Paper", "Add Question", "Delete Question", "Move Up Question",
    "Move Down Question", "Exit", "Help"};

constexpr int TimerIntervalMs = 100;
constexpr int MarkMaxLength = 3;
constexpr int TimeLimitMaxLength = 3;
constexpr int OptionMaxLength = 100;
constexpr int TitleMaxLength = 250;

// A multi-line box has no length limit of its own: cut what goes beyond it.
void limitLength(QPlainTextEdit *box, int maxLength)
{
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, maxLength] {
        const QString text = box->toPlainText();
        if (text.size() <= maxLength)
            return;
        QTextCursor cursor = box->textCursor();
        const int position = std::min(cursor.position(), maxLength);
        box->setPlainText(text.left(maxLength));
        cursor = box->textCursor();
        cursor.setPosition(position);
        box->setTextCursor(cursor);
    });
}

// Both design faces, Arial and the old MS Sans Serif, are set in Arial's widths: the
// desktop resolves it to a metric-compatible face, so captions fit their boxes.
const QFont &windowFont()
{
    static const QFont font = QuickDesignFont(8.25);
    return font;
}

template <typename Widget>
Widget *named(Widget *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption)
{
    return named(new QLabel(caption, parent), QString::fromLatin1(name));
}

QLineEdit *textBox(QWidget *parent, const QString &name, const QString &text, int maxLength)
{
    auto *box = named(new QLineEdit(text, parent), name);
    box->setMaxLength(maxLength);
    return box;
}

QRect toPixels(const QRectF &twips, double twipsPerPixel)
{
    return QRect(int(std::lround(twips.left() / twipsPerPixel)),
                 int(std::lround(twips.top() / twipsPerPixel)),
                 int(std::lround(twips.width() / twipsPerPixel)),
                 int(std::lround(twips.height() / twipsPerPixel)));
}

QFont scaledFont(QFont font, float factor)
{
    font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}
} // namespace

FormPaper::FormPaper(SharedState &state, ModalSeam &seam, const ScreenMetrics &screen,
                     const QString &programFolder, QWidget *parent)
    : QWidget(parent), state_(state), seam_(seam), screen_(screen), programFolder_(programFolder)
{
    setObjectName(QStringLiteral("FormPaper"));
    setFont(windowFont());
    createControls();
    Form_Load();
}

FormPaper::~FormPaper() = default;

void FormPaper::createControls()
{
    Timer1 = named(new QTimer(this), QStringLiteral("Timer1"));
    Timer1->setInterval(TimerIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &FormPaper::Timer1_Timer);
    createToolbar();
    createDetailPanel();
    createTotalsAndGrid();
    applyDesignFonts();
    bindDetailPanel();
    followGridClicks();
    orderPanelTabs();
    // Until the layout runs, the window has the size of the reference screen.
    resize(toPixels(QRectF(0, 0, ReferenceScreenWidthTwips, ReferenceScreenHeightTwips), 15).size());
}

void FormPaper::createToolbar()
{
    FrameTools = named(new QGroupBox(this), QStringLiteral("FrameTools"));
    for (int i = 0; i < ToolbarButtonCount; ++i) {
        auto *button = named(new PictureButton(QString::fromLatin1(ToolbarWords[i]),
                                               ToolbarPicture(i), FrameTools),
                             IndexedName("CommandTools", i));
        button->setToolTip(QString::fromLatin1(DesignToolTips[i]));
        button->setProperty("index", i);
        connect(button, &QPushButton::clicked, this, [this, i] { CommandTools_Click(i); });
        CommandTools[std::size_t(i)] = button;
        // The command's key works anywhere in the window, as if its button were clicked.
        auto *shortcut = new QShortcut(ToolbarShortcut(i), this);
        shortcut->setObjectName(IndexedName("ShortcutTools", i));
        connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
    }
}

// Tab walks the panel as it is laid out: the left column from the mark down to the
// title, then the options on the right, then the grid.
void FormPaper::orderPanelTabs()
{
    QList<QWidget *> chain = {TextScore, LabelAnswer, CmdSetAnswer, TextTimeLimit, TextTitle};
    for (QLineEdit *option : TextItems)
        chain << option;
    chain << DataGrid1;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void FormPaper::createDetailPanel()
{
    Frame1 = named(new QGroupBox(this), QStringLiteral("Frame1"));
    adoStdMarks = named(new DataNavigator(Frame1), QStringLiteral("adoStdMarks"));
    adoStdMarks->setCaption(QStringLiteral("Select Question"));

    LabNo = label(Frame1, "LabNo", QStringLiteral("No."));
    LabelNo = label(Frame1, "LabelNo", QStringLiteral("888"));
    Label2 = label(Frame1, "Label2", QStringLiteral("Mark"));
    TextScore = textBox(Frame1, QStringLiteral("TextScore"), QStringLiteral("888"), MarkMaxLength);
    Label1 = label(Frame1, "Label1", QStringLiteral("(0-250)"));
    Label3 = label(Frame1, "Label3", QStringLiteral("Answer"));
    LabelAnswer = named(new QLineEdit(Frame1), QStringLiteral("LabelAnswer"));
    // The answer changes only through the answer dialog: typing, pasting and
    // deleting are all refused, while the box can still take the focus.
    LabelAnswer->setReadOnly(true);
    CmdSetAnswer = named(new QPushButton(QStringLiteral("Set"), Frame1), QStringLiteral("CmdSetAnswer"));
    LabelTimeLimit = label(Frame1, "LabelTimeLimit", QStringLiteral("Time Limit"));
    TextTimeLimit = textBox(Frame1, QStringLiteral("TextTimeLimit"), QStringLiteral("15"),
                            TimeLimitMaxLength);
    Label4 = label(Frame1, "Label4", QStringLiteral("(1-250)"));
    for (int i = 0; i < 6; ++i) {
        LabItem[std::size_t(i)] = named(new QLabel(QStringLiteral("Option %1:").arg(QChar(u'A' + i)), Frame1),
                                        IndexedName("LabItem", i));
        TextItems[std::size_t(i)] = textBox(Frame1, IndexedName("TextItems", i),
                                            QStringLiteral("Text1"), OptionMaxLength);
        LabItem[std::size_t(i)]->setBuddy(TextItems[std::size_t(i)]);
        // Set against their boxes, so the captions keep clear of the range hint
        // "(1-250)" whose box reaches into this column.
        LabItem[std::size_t(i)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        LabItem[std::size_t(i)]->setContentsMargins(0, 0, 4, 0);
    }
    Frame2 = named(new QGroupBox(QStringLiteral("Question Tile"), Frame1), QStringLiteral("Frame2"));
    TextTitle = named(new QPlainTextEdit(Frame2), QStringLiteral("TextTitle"));
    TextTitle->setTabChangesFocus(true);
    limitLength(TextTitle, TitleMaxLength);
}

void FormPaper::createTotalsAndGrid()
{
    Label5 = label(this, "Label5", QStringLiteral("Amount of Questions"));
    LabNoCount = label(this, "LabNoCount", QString());
    Label7 = label(this, "Label7", QStringLiteral("Total Mark"));
    LabScoreCount = label(this, "LabScoreCount", QString());
    for (QLabel *total : {LabNoCount, LabScoreCount}) {
        total->setFrameShape(QFrame::Panel);
        total->setFrameShadow(QFrame::Sunken);
        total->setAlignment(Qt::AlignCenter);
    }

    DataGrid1 = named(new QTableView(this), QStringLiteral("DataGrid1"));
    gridModel_ = new QuestionGridModel(this);
    DataGrid1->setModel(gridModel_);
    DataGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DataGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGrid1->setWordWrap(false);
    DataGrid1->verticalHeader()->hide();
    DataGrid1->horizontalHeader()->setHighlightSections(false);
    DataGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The design's narrow columns ("Time limit") need the header's padding kept small.
    DataGrid1->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { padding: 1px 2px; }"));
}

void FormPaper::applyDesignFonts()
{
    adoStdMarks->setCaptionFont(QuickDesignFont(8.25));
    Label1->setFont(QuickDesignFont(10.5));
    Label4->setFont(QuickDesignFont(10.5));
    const QFont gridFont = QuickDesignFont(8.25);
    DataGrid1->setFont(gridFont);
    DataGrid1->horizontalHeader()->setFont(gridFont);
    LabNoCount->setFont(QuickDesignFont(9.75));
    LabScoreCount->setFont(QuickDesignFont(9.75));
}

void FormPaper::Form_Load()
{
    setWindowTitle(QStringLiteral("Exam Paper Editor"));
    for (int i = 0; i < ToolbarButtonCount; ++i) {
        CommandTools[std::size_t(i)]->setText(QString::fromLatin1(ToolbarWords[i]));
        CommandTools[std::size_t(i)]->setToolTip(QString::fromLatin1(ToolbarWords[i]));
    }
    adoStdMarks->setCaption(QStringLiteral("Select Qu."));
    LabNo->setText(QStringLiteral("NO.:"));
    Label2->setText(QStringLiteral("Mark:"));
    Label3->setText(QStringLiteral("Answer:"));
    Label5->setText(QStringLiteral("Total Questions:"));
    Label7->setText(QStringLiteral("Total Points:"));
    CmdSetAnswer->setText(QStringLiteral("SET"));
    Frame2->setTitle(QStringLiteral("Question tile"));
    for (int i = 0; i < 6; ++i)
        LabItem[std::size_t(i)]->setText(QStringLiteral("Option%1:").arg(QChar(u'A' + i)));
    LabelTimeLimit->setText(QStringLiteral("Time limit"));

    for (int column = 0; column < PaperColumnCount; ++column)
        gridModel_->setHeaderData(column, Qt::Horizontal,
                                  QString(PaperColumns[std::size_t(column)].gridCaption));

    if (HidesOptionF(state_.installationType())) {
        LabItem[5]->setEnabled(false);
        TextItems[5]->setEnabled(false);
        DataGrid1->setColumnHidden(QuestionGridModel::columnOfField(QuestionField::ItemF), true);
    }
}

void FormPaper::ComputeScale()
{
    scale_ = LayoutScale::forScreen(screen_);
}

void FormPaper::Form_LoadPro()
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    ComputeScale();
    const double twipsPerPixel = screen_.twipsPerPixel();

    // Read every design font before changing any, so that a container's new font
    // never leaks into a child that inherits it.
    struct Pending { QWidget *widget; QRect pixels; QFont font; };
    std::vector<Pending> pending;
    for (const ReferencePlacement &placement : FormPaperReferenceLayout()) {
        auto *widget = findChild<QWidget *>(placement.objectName);
        Q_ASSERT(widget);
        pending.push_back({widget, toPixels(placement.scaled(scale_), twipsPerPixel), widget->font()});
    }
    const QFont navigatorFont = adoStdMarks->captionFont();
    const QFont gridHeaderFont = DataGrid1->horizontalHeader()->font();

    for (const Pending &item : pending) {
        item.widget->setGeometry(item.pixels);
        item.widget->setFont(scaledFont(item.font, scale_.ScaleMin));
    }
    adoStdMarks->setCaptionFont(scaledFont(navigatorFont, scale_.ScaleMin));
    DataGrid1->horizontalHeader()->setFont(scaledFont(gridHeaderFont, scale_.ScaleMin));
    scaleGridColumns();

    resize(toPixels(QRectF(0, 0, ReferenceScreenWidthTwips * scale_.ScaleX,
                           ReferenceScreenHeightTwips * scale_.ScaleY),
                    twipsPerPixel).size());
}

void FormPaper::scaleGridColumns()
{
    const double twipsPerPixel = screen_.twipsPerPixel();
    for (int column = 0; column < PaperColumnCount; ++column) {
        const PaperColumn &design = PaperColumns[std::size_t(column)];
        const double twips = design.gridWidthTwips;
        const double scaled = design.gridWidthScales ? twips * scale_.ScaleX : twips;
        DataGrid1->setColumnWidth(column, int(std::lround(scaled / twipsPerPixel)));
    }
    const int rowHeight = QFontMetrics(DataGrid1->font()).height() + 6;
    DataGrid1->verticalHeader()->setDefaultSectionSize(rowHeight);
}

QuestionTable *FormPaper::questionTable() const
{
    return adoStdMarks->Recordset();
}

void FormPaper::CountScore()
{
    QuestionTable *table = questionTable();
    const int count = table ? table->RecordCount() : 0;
    LabScoreCount->setText(QString::number(state_.QuestionScores.total(count)));
}

void FormPaper::showQuestionCount()
{
    QuestionTable *table = questionTable();
    LabNoCount->setText(QString::number(table ? table->RecordCount() : 0));
}
