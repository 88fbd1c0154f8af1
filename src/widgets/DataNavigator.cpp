#include "widgets/DataNavigator.h"

#include "core/LeadingNumber.h"
#include "paper/PaperDocument.h"
#include "widgets/LocaleNumber.h"

#include <algorithm>
#include <optional>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QToolButton>

namespace {
QToolButton *navigationButton(QWidget *parent, const QString &name, const QString &symbol,
                              const QString &tip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(symbol);
    button->setToolTip(tip);
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    return button;
}

QString controlText(const QWidget *control)
{
    if (auto *box = qobject_cast<const QLineEdit *>(control))
        return box->text();
    if (auto *box = qobject_cast<const QPlainTextEdit *>(control))
        return box->toPlainText();
    if (auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    return {};
}

void setControlText(QWidget *control, const QString &text)
{
    if (auto *box = qobject_cast<QLineEdit *>(control)) {
        box->setText(text);
    } else if (auto *box = qobject_cast<QPlainTextEdit *>(control)) {
        box->setPlainText(text);
    } else if (auto *label = qobject_cast<QLabel *>(control)) {
        label->setText(text);
    }
}

bool isEditable(const QWidget *control)
{
    return !qobject_cast<const QLabel *>(control);
}

// A multi-line box hands back every line break as LF. An edited text keeps the line
// ends its field had: LF where the field used bare LF, otherwise CR LF, the paper
// file's own line end.
QString withFieldLineEnds(const QWidget *control, const QString &edited, const QString &stored)
{
    if (!qobject_cast<const QPlainTextEdit *>(control))
        return edited;
    static const QRegularExpression bareLineFeed(QStringLiteral("(?<!\\r)\\n"));
    if (stored.contains(bareLineFeed))
        return edited;
    QString text = edited;
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

bool isIntegerField(QuestionField field)
{
    return QuestionTableSchema()[std::size_t(field)].isInteger;
}

// A bound box's text as the field stores it: numbers as their nearest integer, read
// with the box's decimal point.
QVariant fieldValue(QuestionField field, const QString &text, const QLocale &locale)
{
    if (isIntegerField(field))
        return int(RoundHalfEvenToInt16(ReadLeadingNumber(WithDecimalPointOf(text, locale))));
    return text;
}
} // namespace

DataNavigator::DataNavigator(QWidget *parent)
    : QWidget(parent), caption_(new QLabel(this)),
      first_(navigationButton(this, QStringLiteral("MoveFirst"), QStringLiteral("\u00AB"),
                              tr("First question"))),
      previous_(navigationButton(this, QStringLiteral("MovePrevious"), QStringLiteral("\u2039"),
                                 tr("Previous question"))),
      next_(navigationButton(this, QStringLiteral("MoveNext"), QStringLiteral("\u203A"),
                             tr("Next question"))),
      last_(navigationButton(this, QStringLiteral("MoveLast"), QStringLiteral("\u00BB"),
                             tr("Last question")))
{
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(first_);
    row->addWidget(previous_);
    row->addWidget(caption_, 1);
    row->addWidget(next_);
    row->addWidget(last_);

    connect(first_, &QToolButton::clicked, this, &DataNavigator::moveFirst);
    connect(previous_, &QToolButton::clicked, this, &DataNavigator::movePrevious);
    connect(next_, &QToolButton::clicked, this, &DataNavigator::moveNext);
    connect(last_, &QToolButton::clicked, this, &DataNavigator::moveLast);
}

DataNavigator::~DataNavigator() = default;

QuestionTable *DataNavigator::Recordset() const
{
    return table_;
}

void DataNavigator::setDocument(PaperDocument *document)
{
    if (document_)
        disconnect(document_, nullptr, this, nullptr);
    document_ = document;
    if (document_) {
        connect(document_, &PaperDocument::paperReplaced, this, &DataNavigator::followTable);
        followTable(&document_->table());
    } else {
        followTable(nullptr);
    }
}

void DataNavigator::followTable(QuestionTable *table)
{
    if (table_)
        disconnect(table_, nullptr, this, nullptr);
    table_ = table;
    if (table_) {
        connect(table_, &QuestionTable::currentRowChanged, this, [this](int row) {
            showCurrentRow();
            emit currentRowChanged(row);
        });
        connect(table_, &QuestionTable::rowChanged, this, [this](int row) {
            if (row == table_->AbsolutePosition() - 1)
                showCurrentRow();
        });
    }
    showCurrentRow();
    emit currentRowChanged(table_ && table_->hasCurrentRow() ? table_->AbsolutePosition() - 1 : -1);
}

void DataNavigator::bind(QWidget *control, QuestionField field)
{
    bindings_.push_back({control, field});
    showCurrentRow();
}

QString DataNavigator::storedText(QuestionField field) const
{
    return table_->row(table_->AbsolutePosition() - 1).value(field).toString();
}

void DataNavigator::showCurrentRow()
{
    const bool hasRow = table_ && table_->hasCurrentRow();
    for (Binding &binding : bindings_) {
        const QString text = hasRow ? storedText(binding.field) : QString();
        // A box already showing this value, unedited, keeps its cursor and scroll.
        if (binding.isShowing && binding.stored == text && !isEdited(binding))
            continue;
        setControlText(binding.control, text);
        binding.stored = text;
        binding.shown = controlText(binding.control);
        binding.isShowing = true;
    }
}

bool DataNavigator::isEdited(const Binding &binding)
{
    return isEditable(binding.control) && controlText(binding.control) != binding.shown;
}

bool DataNavigator::hasPendingEdit() const
{
    if (!table_ || !table_->hasCurrentRow())
        return false;
    return std::any_of(bindings_.begin(), bindings_.end(), isEdited);
}

bool DataNavigator::commitPendingEdit()
{
    if (!hasPendingEdit())
        return true;
    const int index = table_->AbsolutePosition() - 1;
    const QuestionRow before = table_->row(index);
    const std::optional<PaperDocument::EditStart> start =
        document_ ? std::optional(document_->editStart()) : std::nullopt;
    if (willChangeRecord_ && !willChangeRecord_())
        return false;
    for (const Binding &binding : bindings_) {
        if (!isEdited(binding))
            continue;
        const QString text =
            withFieldLineEnds(binding.control, controlText(binding.control), binding.stored);
        table_->setField(binding.field, fieldValue(binding.field, text, binding.control->locale()));
    }
    table_->Update();
    // The row may hold exactly what it held before (2.5 stored as the mark 2 it had),
    // in which case the table reports no change: show what is stored all the same.
    showCurrentRow();
    if (start && (table_->row(index) != before || start->marks != document_->scores())) {
        PaperEdit edit;
        edit.kind = PaperEdit::Kind::ChangeRow;
        edit.text = QStringLiteral("Edit question %1").arg(index + 1);
        edit.index = index;
        edit.before = before;
        edit.after = table_->row(index);
        document_->recordEdit(*start, std::move(edit));
    }
    return true;
}

bool DataNavigator::moveTo(int position)
{
    if (!table_ || table_->RecordCount() == 0)
        return true;
    if (!commitPendingEdit())
        return false;
    // Like the original control, moving never leaves the paper's rows.
    table_->MoveTo(std::clamp(position, 1, table_->RecordCount()));
    return true;
}

bool DataNavigator::moveFirst() { return moveTo(1); }
bool DataNavigator::moveLast() { return moveTo(table_ ? table_->RecordCount() : 0); }
bool DataNavigator::movePrevious()
{
    return moveTo(table_ ? table_->AbsolutePosition() - 1 : 0);
}
bool DataNavigator::moveNext()
{
    return moveTo(table_ ? table_->AbsolutePosition() + 1 : 0);
}

QString DataNavigator::caption() const { return caption_->text(); }
void DataNavigator::setCaption(const QString &caption) { caption_->setText(caption); }
QFont DataNavigator::captionFont() const { return caption_->font(); }

void DataNavigator::setCaptionFont(const QFont &font)
{
    caption_->setFont(font);
    // The buttons stay as narrow as their symbols, leaving the width to the caption.
    const int buttonWidth = QFontMetrics(font).horizontalAdvance(QStringLiteral("\u00BB")) + 8;
    for (QToolButton *button : {first_, previous_, next_, last_}) {
        button->setFont(font);
        button->setFixedWidth(buttonWidth);
    }
}
