#include "editor/FormPaper.h"

#include "core/AnswerEncoding.h"
#include "core/FileNameBytes.h"
#include "core/LeadingNumber.h"
#include "core/PaperColumns.h"
#include "editor/ArrivingFile.h"
#include "editor/FileCommands.h"
#include "editor/GridMenu.h"
#include "editor/ListCommands.h"
#include "editor/PrintCommands.h"
#include "editor/ToolbarCommands.h"
#include "paper/PaperDocument.h"
#include "paper/QuestionTable.h"
#include "quick/ShowAnswerDialog.h"
#include "widgets/AccessibleCaption.h"
#include "widgets/DataNavigator.h"
#include "widgets/DesignMetrics.h"
#include "widgets/HelpWindow.h"
#include "widgets/LocaleNumber.h"
#include "widgets/LongTextLineEdit.h"
#include "widgets/ModalSeam.h"
#include "widgets/PictureButton.h"
#include "widgets/QuestionGridModel.h"
#include "widgets/QuestionGridView.h"
#include "widgets/TypingLengthLimit.h"
#include "widgets/ValidateOnLeave.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
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

// A text box whose limit stops typing only: a longer text from a file is shown whole.
QLineEdit *longTextBox(QWidget *parent, const QString &name, const QString &text, int typingLimit)
{
    auto *box = named(new LongTextLineEdit(text, parent), name);
    TypingLengthLimit::attach(box, typingLimit);
    return box;
}

// The number at the start of a box's text, read with the box's locale's decimal point.
double leadingNumberOf(const QLineEdit *box)
{
    return ReadLeadingNumber(WithDecimalPointOf(box->text(), box->locale()));
}

const QString MarkRangeMessage = QStringLiteral("The mark should be between 0 and 250.");
const QString TimeLimitRangeMessage = QStringLiteral("The time limit should be between 1 and 250.");
} // namespace

FormPaper::FormPaper(SharedState &state, ModalSeam &seam, const ScreenMetrics &screen,
                     const QString &programFolder, QWidget *parent)
    : QWidget(parent), state_(state), seam_(seam), screen_(screen), programFolder_(programFolder),
      commandGate_([this] { return pendingAction() != PendingAction::None; })
{
    setObjectName(QStringLiteral("FormPaper"));
    setFont(windowFont());
    document_ = new PaperDocument(this);
    createControls();
    const CommandContext context = commandContext();
    saveChangesGuard_ = std::make_unique<SaveChangesGuard>(
        context, *Timer1, [this] { SavePaper_Click(); }, [this](PendingAction action) {
            if (action == PendingAction::Open)
                OpenPaper_Click();
            else if (action == PendingAction::Import)
                ImportPaper_Click();
        });
    printCommands_ = std::make_unique<PrintCommands>(context);
    fileCommands_ = std::make_unique<FileCommands>(context, CommonDialog1, *saveChangesGuard_,
                                                   *printCommands_, programFolder_);
    listCommands_ = std::make_unique<ListCommands>(context);
    createGridMenu();
    setAcceptDrops(true);
    Form_Load();
}

FormPaper::~FormPaper() = default;

void FormPaper::createControls()
{
    Timer1 = named(new QTimer(this), QStringLiteral("Timer1"));
    Timer1->setInterval(TimerIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &FormPaper::Timer1_Timer);
    createToolbar();
    createEditShortcuts();
    createDetailPanel();
    createTotalsAndGrid();
    applyDesignFonts();
    bindDetailPanel();
    followDocument();
    followGridClicks();
    orderPanelTabs();
    // Until the layout runs, the window has the size of the reference screen.
    resize(TwipsToPixels(QRectF(0, 0, ReferenceScreenWidthTwips, ReferenceScreenHeightTwips)).size());
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

// The edit commands without a button: their keys, like the toolbar's, work anywhere in
// the window (the panel's boxes leave them to the window, see eventFilter).
void FormPaper::createEditShortcuts()
{
    const auto addShortcut = [this](const QKeySequence &key, const char *name, void (FormPaper::*run)()) {
        auto *shortcut = new QShortcut(key, this);
        shortcut->setObjectName(QString::fromLatin1(name));
        connect(shortcut, &QShortcut::activated, this,
                [this, run] { commandGate_.start([this, run] { (this->*run)(); }); });
    };
    addShortcut(UndoShortcut(), "ShortcutUndo", &FormPaper::UndoEdit_Click);
    const QList<QKeySequence> redoKeys = RedoShortcuts();
    addShortcut(redoKeys[0], "ShortcutRedo", &FormPaper::RedoEdit_Click);
    addShortcut(redoKeys[1], "ShortcutRedoAlternative", &FormPaper::RedoEdit_Click);
    addShortcut(DuplicateShortcut(), "ShortcutDuplicate", &FormPaper::DuplicateQuestion_Click);
    addShortcut(QKeySequence::Print, "ShortcutPrint", &FormPaper::PrintPaper_Click);
}

void FormPaper::createGridMenu()
{
    gridMenu_ = new GridMenu(*document_, this);
    const auto throughGate = [this](void (FormPaper::*run)()) {
        return [this, run] { commandGate_.start([this, run] { (this->*run)(); }); };
    };
    connect(gridMenu_->undo(), &QAction::triggered, this, throughGate(&FormPaper::UndoEdit_Click));
    connect(gridMenu_->redo(), &QAction::triggered, this, throughGate(&FormPaper::RedoEdit_Click));
    connect(gridMenu_->duplicate(), &QAction::triggered, this,
            throughGate(&FormPaper::DuplicateQuestion_Click));
    connect(gridMenu_->remove(), &QAction::triggered, this,
            [this] { CommandTools_Click(ToolbarCommand::Delete); });
    connect(gridMenu_->moveUp(), &QAction::triggered, this,
            [this] { CommandTools_Click(ToolbarCommand::MoveUp); });
    connect(gridMenu_->moveDown(), &QAction::triggered, this,
            [this] { CommandTools_Click(ToolbarCommand::MoveDown); });
    connect(DataGrid1, &QuestionGridView::menuRequested, gridMenu_,
            [this](const QPoint &position) { gridMenu_->popup(position); });
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
        TextItems[std::size_t(i)] = longTextBox(Frame1, IndexedName("TextItems", i),
                                                QStringLiteral("Text1"), OptionMaxLength);
        LabItem[std::size_t(i)]->setBuddy(TextItems[std::size_t(i)]);
        // Set against their boxes, so the captions keep clear of the range hint
        // "(1-250)" whose box reaches into this column.
        LabItem[std::size_t(i)]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        LabItem[std::size_t(i)]->setContentsMargins(0, 0, 4, 0);
    }
    Frame2 = named(new QGroupBox(QStringLiteral("Question Tile"), Frame1), QStringLiteral("Frame2"));
    TextTitle = named(new LengthLimitedTextEdit(TitleMaxLength, Frame2), QStringLiteral("TextTitle"));
    TextTitle->setTabChangesFocus(true);
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

    DataGrid1 = named(new QuestionGridView(this), QStringLiteral("DataGrid1"));
    gridModel_ = new QuestionGridModel(this);
    DataGrid1->setModel(gridModel_);
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
    nameBoxesAfterCaptions();

    for (int column = 0; column < PaperColumnCount; ++column)
        gridModel_->setHeaderData(column, Qt::Horizontal,
                                  QString(PaperColumns[std::size_t(column)].gridCaption));

    if (HidesOptionF(state_.installationType())) {
        LabItem[5]->setEnabled(false);
        TextItems[5]->setEnabled(false);
        DataGrid1->setColumnHidden(QuestionGridModel::columnOfField(QuestionField::ItemF), true);
    }
}

void FormPaper::nameBoxesAfterCaptions()
{
    NameAfterCaption(TextScore, Label2->text());
    NameAfterCaption(LabelAnswer, Label3->text());
    NameAfterCaption(TextTimeLimit, LabelTimeLimit->text());
    NameAfterCaption(TextTitle, Frame2->title());
    for (int i = 0; i < 6; ++i)
        NameAfterCaption(TextItems[std::size_t(i)], LabItem[std::size_t(i)]->text());
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
        pending.push_back({widget, TwipsToPixels(placement.scaled(scale_), twipsPerPixel), widget->font()});
    }
    const QFont navigatorFont = adoStdMarks->captionFont();
    const QFont gridHeaderFont = DataGrid1->horizontalHeader()->font();

    for (const Pending &item : pending) {
        item.widget->setGeometry(item.pixels);
        item.widget->setFont(scale_.scaled(item.font));
    }
    adoStdMarks->setCaptionFont(scale_.scaled(navigatorFont));
    DataGrid1->horizontalHeader()->setFont(scale_.scaled(gridHeaderFont));
    scaleGridColumns();

    resize(TwipsToPixels(QRectF(0, 0, ReferenceScreenWidthTwips * scale_.ScaleX,
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

CommandContext FormPaper::commandContext()
{
    return {*document_, state_, seam_, *this};
}

QuestionTable *FormPaper::questionTable() const
{
    return &document_->table();
}

// The totals, the grid, the panel and the caption follow the open paper.
void FormPaper::followDocument()
{
    // The grid takes a new table before the navigator announces its current row, which
    // the grid then highlights.
    gridModel_->setTable(&document_->table());
    connect(document_, &PaperDocument::paperReplaced, gridModel_, &QuestionGridModel::setTable);
    adoStdMarks->setDocument(document_);
    const auto showTotals = [this] {
        showQuestionCount();
        CountScore();
    };
    connect(document_, &PaperDocument::paperReplaced, this, showTotals);
    connect(document_, &PaperDocument::listChanged, this, showTotals);
    connect(document_, &PaperDocument::scoresChanged, this, &FormPaper::CountScore);
    connect(document_, &PaperDocument::pathChanged, this, &FormPaper::showPaperPathInCaption);
}

void FormPaper::CountScore()
{
    LabScoreCount->setText(QString::number(document_->totalMark()));
}

void FormPaper::showQuestionCount()
{
    LabNoCount->setText(QString::number(document_->questionCount()));
}

void FormPaper::showPaperPathInCaption()
{
    setWindowTitle(ApplicationTitle + QStringLiteral("  ") + ReadableFileName(document_->path()));
}

void FormPaper::bindDetailPanel()
{
    adoStdMarks->bind(LabelNo, QuestionField::QuestionNo);
    adoStdMarks->bind(TextScore, QuestionField::Score);
    adoStdMarks->bind(LabelAnswer, QuestionField::Answer);
    adoStdMarks->bind(TextTimeLimit, QuestionField::TimeLimit);
    adoStdMarks->bind(TextTitle, QuestionField::Title);
    for (int i = 0; i < 6; ++i)
        adoStdMarks->bind(TextItems[std::size_t(i)], OptionField(i));
    adoStdMarks->setWillChangeRecord([this] { return adoStdMarks_WillChangeRecord(); });

    connect(CmdSetAnswer, &QPushButton::clicked, this, &FormPaper::CmdSetAnswer_Click);
    for (QWidget *box : std::initializer_list<QWidget *>{TextScore, LabelAnswer, TextTimeLimit, TextTitle})
        box->installEventFilter(this);
    for (QLineEdit *option : TextItems)
        option->installEventFilter(this);
    new ValidateOnLeave(TextScore, [this] { return TextScore_Validate(); });
    timeLimitCheck_ = new ValidateOnLeave(TextTimeLimit, [this] { return TextTimeLimit_Validate(); });
}

void FormPaper::followGridClicks()
{
    connect(adoStdMarks, &DataNavigator::currentRowChanged, this, &FormPaper::DataGrid1_RowColChange);
    // A row chosen in the grid becomes the current question, once the panel's edit
    // has been written back; a refused edit puts the grid back on its row.
    connect(DataGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                QuestionTable *table = questionTable();
                if (!table || !current.isValid() || current.row() == table->AbsolutePosition() - 1)
                    return;
                // The grid goes on to select the row it was given once this returns,
                // so put the highlight back afterwards.
                if (!adoStdMarks->moveTo(current.row() + 1))
                    QMetaObject::invokeMethod(this, &FormPaper::DataGrid1_RowColChange, Qt::QueuedConnection);
            });
}

bool FormPaper::eventFilter(QObject *watched, QEvent *event)
{
    // A box would take the undo and redo keys for its own typing; the paper's undo
    // writes the box's edit back and undoes it as one step instead.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        QList<QKeySequence> windowKeys = RedoShortcuts();
        windowKeys << UndoShortcut() << DuplicateShortcut();
        if (windowKeys.contains(pressed))
            return true; // left unaccepted, so the window's shortcut runs
    }
    if (watched == TextScore && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString typed = key->text();
        // A shortcut (Ctrl+A, Ctrl+V...) types nothing, whatever letter the platform
        // reports with it: it belongs to the box's own key handling.
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        if (!shortcut && typed.size() == 1 && typed[0].unicode() >= 32
            && TextScore_KeyPress(typed[0].unicode()) == 0)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

int FormPaper::TextScore_KeyPress(int keyAscii) const
{
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    // Where numbers are written with a decimal comma, the comma is a decimal point too.
    const bool decimalPoint = keyAscii == '.' || (keyAscii == ',' && WritesDecimalComma(TextScore->locale()));
    const bool passes = digit || decimalPoint || keyAscii == 8 || keyAscii == 37 || keyAscii == 39;
    return passes ? keyAscii : 0;
}

bool FormPaper::TextScore_Validate()
{
    const int mark = RoundHalfEvenToInt16(leadingNumberOf(TextScore));
    if (mark == 0)
        TextScore->setText(QStringLiteral("0"));
    if (mark >= 0 && mark <= MaxMark)
        return true;
    commandContext().tell(MarkRangeMessage);
    return false;
}

bool FormPaper::TextTimeLimit_Validate()
{
    const int limit = RoundHalfEvenToInt16(leadingNumberOf(TextTimeLimit));
    if (limit == 0)
        TextTimeLimit->setText(QStringLiteral("15"));
    if (limit >= MinTimeLimit && limit <= MaxTimeLimit)
        return true;
    commandContext().tell(TimeLimitRangeMessage);
    return false;
}

bool FormPaper::adoStdMarks_WillChangeRecord()
{
    QuestionTable *table = questionTable();
    showQuestionCount();
    if (!table || !table->hasCurrentRow())
        return true;
    const int position = table->AbsolutePosition();
    const double mark = leadingNumberOf(TextScore);
    const bool markChanged = mark != document_->scores()[position];
    if (markChanged && (mark < 0 || mark > MaxMark)) {
        commandContext().tell(MarkRangeMessage);
        TextScore->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // The time-limit box is checked when the focus leaves it, but a row can be written
    // back while the box still holds what it was given (the window closing or a command
    // key pressed with the focus in the box): a time limit no paper file may hold never
    // reaches the table. The box's own check runs, so a 0 becomes 15 as on leaving and
    // leaving afterwards does not tell the same thing again.
    if (!timeLimitCheck_->check())
        return false;
    if (markChanged)
        document_->setScore(position, RoundHalfEvenToInt16(mark));
    document_->setModified(true);
    return true;
}

void FormPaper::DataGrid1_RowColChange()
{
    QuestionTable *table = questionTable();
    QItemSelectionModel *selection = DataGrid1->selectionModel();
    selection->clearSelection();
    if (!table || !table->hasCurrentRow())
        return;
    const int row = table->AbsolutePosition() - 1;
    const int column = std::max(0, DataGrid1->currentIndex().column());
    const QModelIndex current = gridModel_->index(row, column);
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    selection->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    DataGrid1->scrollTo(current);
}

// Opens the answer dialog of the installation type on the panel's answer; its OK
// writes the new answer into the box, which the next row change commits.
void FormPaper::CmdSetAnswer_Click()
{
    state_.dialogAnswerMask = AnswerTextToMask(LabelAnswer->text());
    ShowAnswerDialog(state_, LabelAnswer, LabelNo->text(), this);
}

// A click, a key or the grid's menu while another command runs or waits for its rerun
// starts nothing.
void FormPaper::CommandTools_Click(int index)
{
    commandGate_.start([this, index] { runToolbarCommand(index); });
}

void FormPaper::runToolbarCommand(int index)
{
    using namespace ToolbarCommand;
    // A command sees the panel's pending edit written back first, through the same
    // check as any other row change; if the check refuses it, the command does not run.
    if (index != Help && !adoStdMarks->commitPendingEdit())
        return;
    switch (index) {
    case New: NewPaper_Click(); break;
    case Open: OpenPaper_Click(); break;
    case Import: ImportPaper_Click(); break;
    case Export: ExportPaper_Click(); break;
    case Save: SavePaper_Click(); break;
    case Add: AddQuestion_Click(); break;
    case Delete: DeleteQuestion_Click(); break;
    case MoveUp: MoveUpQuestion_Click(); break;
    case MoveDown: MoveDownQuestion_Click(); break;
    case Exit: ExitEditor_Click(); break;
    case Help: Help_Click(); break;
    default: break;
    }
}

// Shows the default topic of paperedit.chm from the program's folder in the editor's
// own help window; a file that is missing or cannot be read shows nothing at all.
void FormPaper::Help_Click()
{
    const QString path = QDir(programFolder_).filePath(QStringLiteral("paperedit.chm"));
    HelpWindow::showDefaultTopic(this, path);
}

// The commands: each runs the file or list command of the same name.
void FormPaper::NewPaper_Click() { fileCommands_->newPaper(); }
void FormPaper::OpenPaper_Click() { fileCommands_->openPaper(); }
void FormPaper::SavePaper_Click() { fileCommands_->savePaper(); }
void FormPaper::ImportPaper_Click() { fileCommands_->importPaper(); }
void FormPaper::ExportPaper_Click() { fileCommands_->exportPaper(); }
bool FormPaper::ReadCsvFile(const QString &PFileName) { return fileCommands_->readCsvFile(PFileName); }
void FormPaper::DoExport(const QString &ExportFile) { fileCommands_->doExport(ExportFile); }

bool FormPaper::DoImport(const QString &ImportFile, bool ImportOrOpen)
{
    return fileCommands_->doImport(ImportFile, ImportOrOpen);
}

void FormPaper::AddQuestion_Click() { listCommands_->addQuestion(); }

void FormPaper::DuplicateQuestion_Click()
{
    if (adoStdMarks->commitPendingEdit())
        listCommands_->duplicateQuestion();
}

void FormPaper::UndoEdit_Click()
{
    if (adoStdMarks->commitPendingEdit())
        document_->undo();
}

void FormPaper::RedoEdit_Click()
{
    if (adoStdMarks->commitPendingEdit())
        document_->redo();
}

void FormPaper::PrintPaper_Click()
{
    if (adoStdMarks->commitPendingEdit())
        printCommands_->printPaper();
}
void FormPaper::DeleteQuestion_Click() { listCommands_->deleteQuestion(); }
void FormPaper::MoveUpQuestion_Click() { listCommands_->moveUp(); }
void FormPaper::MoveDownQuestion_Click() { listCommands_->moveDown(); }
void FormPaper::ExitEditor_Click() { close(); }
// A tick that finds another command still running leaves the rerun to the next one.
void FormPaper::Timer1_Timer()
{
    commandGate_.rerun([this] { saveChangesGuard_->runPendingAction(); });
}

bool FormPaper::Form_Unload()
{
    // An edit still in the panel counts as a change to the paper.
    return adoStdMarks->commitPendingEdit() && saveChangesGuard_->mayClose();
}

void FormPaper::closeEvent(QCloseEvent *event)
{
    if (Form_Unload())
        event->accept();
    else
        event->ignore();
}

void FormPaper::dragEnterEvent(QDragEnterEvent *event)
{
    if (FileOfDrag(*event->mimeData()))
        event->acceptProposedAction();
}

void FormPaper::dropEvent(QDropEvent *event)
{
    const std::optional<QString> path = FileOfDrag(*event->mimeData());
    if (!path)
        return;
    event->acceptProposedAction();
    // Asked once the drop is over, so the drag's source is not kept waiting on a question.
    // A drop while another command runs or waits is ignored, as a click would be.
    QMetaObject::invokeMethod(this, [this, file = *path] {
        commandGate_.start([this, &file] {
            if (adoStdMarks->commitPendingEdit() && saveChangesGuard_->mayReplacePaperNow())
                OpenArrivingFile(*this, file);
        });
    }, Qt::QueuedConnection);
}
