// The detail panel of the main window: binding of its boxes to the current
// question, the key filter and the checks of the mark and the time limit, the check
// run before an edited row is written back, and the grid's whole-row highlight.
#include "editor/FormPaper.h"

#include "core/AnswerEncoding.h"
#include "widgets/DataNavigator.h"
#include "widgets/ModalSeam.h"
#include "core/LeadingNumber.h"
#include "widgets/QuestionGridModel.h"
#include "paper/QuestionTable.h"
#include "quick/ShowAnswerDialog.h"
#include "widgets/ValidateOnLeave.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

namespace {
const QString MarkRangeMessage = QStringLiteral("The mark should be between 0 and 250.");
const QString TimeLimitRangeMessage = QStringLiteral("The time limit should be between 1 and 250.");
} // namespace

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
    TextScore->installEventFilter(this);
    new ValidateOnLeave(TextScore, [this] { return TextScore_Validate(); });
    new ValidateOnLeave(TextTimeLimit, [this] { return TextTimeLimit_Validate(); });
}

void FormPaper::followGridClicks()
{
    connect(adoStdMarks, &DataNavigator::recordsetChanged, gridModel_, &QuestionGridModel::setTable);
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

int FormPaper::TextScore_KeyPress(int keyAscii)
{
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    const bool passes = digit || keyAscii == '.' || keyAscii == 8 || keyAscii == 37 || keyAscii == 39;
    return passes ? keyAscii : 0;
}

void FormPaper::showMessage(const QString &text, const QString &details)
{
    MessageBoxRequest request;
    request.text = text;
    request.detailedText = details;
    seam_.showMessage(this, request);
}

bool FormPaper::TextScore_Validate()
{
    const int mark = RoundHalfEvenToInt16(ReadLeadingNumber(TextScore->text()));
    if (mark == 0)
        TextScore->setText(QStringLiteral("0"));
    if (mark >= 0 && mark <= MaxMark)
        return true;
    showMessage(MarkRangeMessage);
    return false;
}

bool FormPaper::TextTimeLimit_Validate()
{
    const int limit = RoundHalfEvenToInt16(ReadLeadingNumber(TextTimeLimit->text()));
    if (limit == 0)
        TextTimeLimit->setText(QStringLiteral("15"));
    if (limit >= MinTimeLimit && limit <= MaxTimeLimit)
        return true;
    showMessage(TimeLimitRangeMessage);
    return false;
}

bool FormPaper::adoStdMarks_WillChangeRecord()
{
    QuestionTable *table = questionTable();
    showQuestionCount();
    if (!table || !table->hasCurrentRow())
        return true;
    const int position = table->AbsolutePosition();
    const double mark = ReadLeadingNumber(TextScore->text());
    const bool markChanged = mark != state_.QuestionScores[position];
    if (markChanged && (mark < 0 || mark > MaxMark)) {
        showMessage(MarkRangeMessage);
        TextScore->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // The time-limit box is checked when the focus leaves it, but a row can be written
    // back while the box still holds what it was given (the window closing with the
    // focus in the box): a time limit no paper file may hold never reaches the table.
    const int timeLimit = RoundHalfEvenToInt16(ReadLeadingNumber(TextTimeLimit->text()));
    if (timeLimit < MinTimeLimit || timeLimit > MaxTimeLimit) {
        showMessage(TimeLimitRangeMessage);
        TextTimeLimit->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (markChanged) {
        state_.QuestionScores[position] = RoundHalfEvenToInt16(mark);
        CountScore();
    }
    state_.modified = true;
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
